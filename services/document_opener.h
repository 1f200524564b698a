#pragma once
// The desktop open-document port, and opening the manual, the catalogue and the samples through it.

#include <string>

#include "services/program_files.h"

namespace varnholt {

class tInterfejs;

// Opens a document or web address with the desktop's associated application.
class DocumentOpener {
 public:
  virtual ~DocumentOpener() = default;
  // Returns the desktop's result code: above 32 when the document was handed to an application.
  virtual int OpenDocument(const std::string& target) = 0;
};

// The success test of an open-document result.
constexpr bool DocumentOpened(int result) { return result > 32; }

// Opens the manual; error box "brakAcrobatReadera" when the desktop fails, or "brakPlikuInstrukcji", "\r\n" and the
// path when there is no manual. Returns true when it was opened.
bool OpenManual(DocumentOpener& opener, const ProgramFile& manual, const tInterfejs& texts);

// Opens the catalogue the same way, with "brakPlikuKatalogu" when there is none.
bool OpenCatalogue(DocumentOpener& opener, const ProgramFile& catalogue, const tInterfejs& texts);

// True when the samples folder exists; otherwise shows the information box "SampleNotInstaled".
bool SamplesAvailable(const ProgramFile& samples, const tInterfejs& texts);

}  // namespace varnholt
