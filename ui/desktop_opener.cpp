#include "ui/desktop_opener.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace varnholt {
namespace {

constexpr int kOpened = 42;
constexpr int kRefused = 0;

}  // namespace

int DesktopDocumentOpener::OpenDocument(const std::string& target) {
  const QString text = QString::fromStdString(target);
  const QUrl url = text.contains("://") ? QUrl(text) : QUrl::fromLocalFile(text);
  return QDesktopServices::openUrl(url) ? kOpened : kRefused;
}

}  // namespace varnholt
