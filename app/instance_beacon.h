#pragma once
// The running copy's doorbell: a local socket named after its program folder's lock. A second copy rings it before
// it ends, and the running copy brings its window to the front.

#include <QObject>
#include <functional>
#include <string>

class QLocalServer;

namespace varnholt {

class InstanceBeacon final : public QObject {
 public:
  // Listens on name; ring is called on the event loop's thread each time a second copy rings.
  InstanceBeacon(const std::string& name, std::function<void()> ring, QObject* parent = nullptr);
  ~InstanceBeacon() override;
  InstanceBeacon(const InstanceBeacon&) = delete;
  InstanceBeacon& operator=(const InstanceBeacon&) = delete;

  bool listening() const;

 private:
  QLocalServer* server_ = nullptr;
  std::function<void()> ring_;
};

// Rings the beacon of name; true when a running copy answered within timeout_ms.
bool RingRunningCopy(const std::string& name, int timeout_ms = 1000);

}  // namespace varnholt
