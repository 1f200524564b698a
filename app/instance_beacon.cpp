#include "app/instance_beacon.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <utility>

namespace varnholt {

InstanceBeacon::InstanceBeacon(const std::string& name, std::function<void()> ring, QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)), ring_(std::move(ring)) {
  const QString server_name = QString::fromStdString(name);
  // A socket left by a copy that ended without closing it would keep the name taken; the lock says no copy runs.
  QLocalServer::removeServer(server_name);
  server_->listen(server_name);
  connect(server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* caller = server_->nextPendingConnection()) {
      caller->write("1");
      caller->flush();
      caller->disconnectFromServer();
      connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
      if (ring_) ring_();
    }
  });
}

InstanceBeacon::~InstanceBeacon() = default;

bool InstanceBeacon::listening() const { return server_->isListening(); }

bool RingRunningCopy(const std::string& name, int timeout_ms) {
  QLocalSocket socket;
  socket.connectToServer(QString::fromStdString(name));
  if (!socket.waitForConnected(timeout_ms)) return false;
  // The running copy answers once it has taken the ring.
  return socket.waitForReadyRead(timeout_ms) && socket.read(1) == "1";
}

}  // namespace varnholt
