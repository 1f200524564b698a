#pragma once
// The desktop open-document port on the desktop's own handlers: documents in their viewers, web addresses in
// the browser.

#include <string>

#include "services/document_opener.h"

namespace varnholt {

class DesktopDocumentOpener final : public DocumentOpener {
 public:
  // A local file path or a web address; 33 when the desktop took it, 0 when it could not.
  int OpenDocument(const std::string& target) override;
};

}  // namespace varnholt
