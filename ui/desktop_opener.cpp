#include "ui/desktop_opener.h"

#include <QDesktopServices>
#include <QUrl>

namespace varnholt {

int DesktopDocumentOpener::OpenDocument(const std::string& target) {
  constexpr int kOpened = 33;
  const QUrl url = QUrl::fromUserInput(QString::fromStdString(target));
  return url.isValid() && QDesktopServices::openUrl(url) ? kOpened : 0;
}

}  // namespace varnholt
