#pragma once
// The desktop open-document port over the desktop's own services.

#include "services/document_opener.h"

namespace varnholt {

class DesktopDocumentOpener final : public DocumentOpener {
 public:
  // A local file or a web address; 42 when the desktop took it, 0 when it refused.
  int OpenDocument(const std::string& target) override;
};

}  // namespace varnholt
