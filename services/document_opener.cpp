#include "services/document_opener.h"

#include "services/interfejs.h"
#include "services/operator.h"

namespace varnholt {
namespace {

// Hands an existing document to the desktop; reports a failure of the desktop.
bool OpenExisting(DocumentOpener& opener, const ProgramFile& file, const tInterfejs& texts) {
  if (DocumentOpened(opener.OpenDocument(file.path))) return true;
  CurrentOperator().ShowMessageBox(texts.GetText("Main_window", "brakAcrobatReadera"), true, "");
  return false;
}

}  // namespace

bool OpenManual(DocumentOpener& opener, const ProgramFile& manual, const tInterfejs& texts) {
  if (manual.exists) return OpenExisting(opener, manual, texts);
  CurrentOperator().ShowMessageBox(texts.GetText("Main_window", "brakPlikuInstrukcji") + "\r\n" + manual.path, true,
                                   "");
  return false;
}

bool OpenCatalogue(DocumentOpener& opener, const ProgramFile& catalogue, const tInterfejs& texts) {
  if (catalogue.exists) return OpenExisting(opener, catalogue, texts);
  CurrentOperator().ShowMessageBox(texts.GetText("Main_window", "brakPlikuKatalogu") + "\r\n" + catalogue.path, true,
                                   "");
  return false;
}

bool SamplesAvailable(const ProgramFile& samples, const tInterfejs& texts) {
  if (samples.exists) return true;
  CurrentOperator().ShowMessageBox(texts.GetText("Main_window", "SampleNotInstaled"), false, "");
  return false;
}

}  // namespace varnholt
