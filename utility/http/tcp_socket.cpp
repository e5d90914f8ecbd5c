#include "utility/http/tcp_http_conn.h"

#include <algorithm>

namespace utility {

namespace {

std::mutex gTimeoutsLock;
CTcpSocket::Timeouts gTimeouts;

// Milliseconds left until deadline (GetTickCount64 based), at least 0.
int msLeft(ULONGLONG deadline) {
  ULONGLONG now = GetTickCount64();
  return now >= deadline ? 0 : static_cast<int>(deadline - now);
}

}  // namespace

void CTcpSocket::setTimeouts(const Timeouts& timeouts) {
  std::lock_guard<std::mutex> guard(gTimeoutsLock);
  gTimeouts = timeouts;
}

CTcpSocket::Timeouts CTcpSocket::timeouts() {
  std::lock_guard<std::mutex> guard(gTimeoutsLock);
  return gTimeouts;
}

CTcpSocket::CTcpSocket() : cancelEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

CTcpSocket::~CTcpSocket() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    closeLocked();
  }
  if (cancelEvent_) CloseHandle(cancelEvent_);
}

bool CTcpSocket::create() {
  std::lock_guard<std::mutex> guard(lock_);
  if (aborted_) {
    WSASetLastError(WSA_OPERATION_ABORTED);
    return false;
  }
  if (socket_ != INVALID_SOCKET) {
    WSASetLastError(WSAEISCONN);
    return false;
  }
  if (!cancelEvent_) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  SOCKET s = ::socket(AF_INET, SOCK_STREAM, 0);
  if (s == INVALID_SOCKET) return false;
  int reuse = 0;
  setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof(reuse));
  WSAEVENT event = WSACreateEvent();
  if (event == WSA_INVALID_EVENT ||
      WSAEventSelect(s, event, FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE) != 0) {
    int error = WSAGetLastError();
    if (event != WSA_INVALID_EVENT) WSACloseEvent(event);
    closesocket(s);
    WSASetLastError(error);
    return false;
  }
  ResetEvent(cancelEvent_);
  socket_ = s;
  socketEvent_ = event;
  closePending_ = false;
  timeouts_ = timeouts();
  onOpened();
  return true;
}

bool CTcpSocket::isOpen() {
  std::lock_guard<std::mutex> guard(lock_);
  return socket_ != INVALID_SOCKET;
}

SOCKET CTcpSocket::acquire() {
  std::lock_guard<std::mutex> guard(lock_);
  if (aborted_ || closePending_) {
    WSASetLastError(WSA_OPERATION_ABORTED);
    return INVALID_SOCKET;
  }
  if (socket_ == INVALID_SOCKET) {
    WSASetLastError(WSAENOTSOCK);
    return INVALID_SOCKET;
  }
  ++users_;
  return socket_;
}

void CTcpSocket::unacquire() {
  int error = WSAGetLastError();
  {
    std::lock_guard<std::mutex> guard(lock_);
    --users_;
    if (users_ == 0 && closePending_) closeLocked();
  }
  WSASetLastError(error);
}

void CTcpSocket::closeLocked() {
  if (socket_ == INVALID_SOCKET) return;
  int error = WSAGetLastError();
  shutdown(socket_, SD_BOTH);
  closesocket(socket_);
  WSACloseEvent(socketEvent_);
  socket_ = INVALID_SOCKET;
  socketEvent_ = WSA_INVALID_EVENT;
  closePending_ = false;
  WSASetLastError(error);
  onClosed();
}

void CTcpSocket::close() {
  std::lock_guard<std::mutex> guard(lock_);
  if (socket_ == INVALID_SOCKET) return;
  if (users_ > 0) {
    closePending_ = true;  // the running operation closes it on its way out
    SetEvent(cancelEvent_);
  } else {
    closeLocked();
  }
}

void CTcpSocket::abort() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    aborted_ = true;
    if (cancelEvent_) SetEvent(cancelEvent_);
  }
  close();
}

void CTcpSocket::clearAbort() {
  std::lock_guard<std::mutex> guard(lock_);
  aborted_ = false;
  if (users_ == 0 && cancelEvent_) ResetEvent(cancelEvent_);
}

bool CTcpSocket::waitUntil(SOCKET s, ULONGLONG deadline, WSANETWORKEVENTS* seen) {
  const int timeoutMs = msLeft(deadline);
  if (timeoutMs == 0) {
    WSASetLastError(WSAETIMEDOUT);
    return false;
  }
  // The cancel event comes first so that it wins over a busy socket.
  WSAEVENT handles[2] = {cancelEvent_, socketEvent_};
  DWORD r = WSAWaitForMultipleEvents(2, handles, FALSE, static_cast<DWORD>(timeoutMs), FALSE);
  if (r == WSA_WAIT_EVENT_0) {
    WSASetLastError(WSA_OPERATION_ABORTED);
    return false;
  }
  if (r == WSA_WAIT_TIMEOUT) {
    WSASetLastError(WSAETIMEDOUT);
    return false;
  }
  if (r != WSA_WAIT_EVENT_0 + 1) return false;
  *seen = {};
  if (WSAEnumNetworkEvents(s, socketEvent_, seen) != 0) return false;
  return true;
}

bool CTcpSocket::connectTo(const sockaddr_in& address) {
  SOCKET s = acquire();
  if (s == INVALID_SOCKET) return false;
  bool ok = false;
  if (::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) {
    ok = true;
  } else if (WSAGetLastError() == WSAEWOULDBLOCK) {
    ULONGLONG deadline = GetTickCount64() + timeouts_.connectMs;
    WSANETWORKEVENTS seen;
    for (;;) {
      if (!waitUntil(s, deadline, &seen)) break;
      if (seen.lNetworkEvents & FD_CONNECT) {
        int error = seen.iErrorCode[FD_CONNECT_BIT];
        if (error == 0) {
          ok = true;
        } else {
          WSASetLastError(error);
        }
        break;
      }
    }
  }
  unacquire();
  return ok;
}

bool CTcpSocket::sendAll(const std::string& bytes) {
  SOCKET s = acquire();
  if (s == INVALID_SOCKET) return false;
  const char* data = bytes.data();
  size_t left = bytes.size();
  ULONGLONG deadline = GetTickCount64() + timeouts_.ioMs;
  bool ok = left == 0;
  while (left > 0) {
    int chunk = static_cast<int>(std::min<size_t>(left, 1 << 30));
    int n = ::send(s, data, chunk, 0);
    if (n > 0) {
      if (static_cast<size_t>(n) >= left) {
        ok = true;
        break;
      }
      data += n;
      left -= static_cast<size_t>(n);
      deadline = GetTickCount64() + timeouts_.ioMs;
      continue;
    }
    if (n == 0 || WSAGetLastError() != WSAEWOULDBLOCK) break;
    WSANETWORKEVENTS seen;
    if (!waitUntil(s, deadline, &seen)) break;
  }
  unacquire();
  return ok;
}

int CTcpSocket::receive(char* buffer, int size) {
  SOCKET s = acquire();
  if (s == INVALID_SOCKET) return -1;
  int result = -1;
  ULONGLONG deadline = GetTickCount64() + timeouts_.ioMs;
  for (;;) {
    int n = ::recv(s, buffer, size, 0);
    if (n >= 0) {
      result = n;
      break;
    }
    if (WSAGetLastError() != WSAEWOULDBLOCK) break;
    WSANETWORKEVENTS seen;
    if (!waitUntil(s, deadline, &seen)) break;
  }
  unacquire();
  return result;
}

}  // namespace utility
