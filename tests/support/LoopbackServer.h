#pragma once

#include <httplib.h>

#include <arpa/inet.h>
#include <atomic>
#include <csignal>
#include <functional>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace zorel8z::test {

// A station of a test's own on 127.0.0.1 that answers every request with its handler: any body, any
// status, any header. For what the simulated station would never send.
class LoopbackServer {
  public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    explicit LoopbackServer(Handler handler) : m_handler(std::move(handler)) {
        std::signal(SIGPIPE, SIG_IGN);
        const auto serve = [this](const httplib::Request& req, httplib::Response& res) {
            ++m_requests;
            m_handler(req, res);
        };
        m_server.Post(".*", serve);
        m_server.Get(".*", serve);
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] {
            m_server.listen_after_bind();
            m_ended = true;
        });
        while (!m_server.is_running() && !m_ended)
            std::this_thread::yield();
    }
    ~LoopbackServer() {
        m_server.stop();
        m_thread.join();
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const { return m_port; }
    int requests() const { return m_requests; }

  private:
    Handler m_handler;
    httplib::Server m_server;
    std::thread m_thread;
    std::atomic<bool> m_ended{false};
    std::atomic<int> m_requests{0};
    int m_port = -1;
};

// A listening socket that never accepts: whoever connects to it stays in its queue, so a test can
// tell whether anybody tried.
class Listener {
  public:
    Listener() {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (m_fd >= 0 && ::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), len) == 0 &&
            ::listen(m_fd, 16) == 0 && ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
            m_port = ntohs(addr.sin_port);
    }
    ~Listener() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    int port() const { return m_port; }
    // Whether a connection is waiting to be accepted.
    bool contacted() const {
        pollfd p{m_fd, POLLIN, 0};
        return ::poll(&p, 1, 0) > 0;
    }

  private:
    int m_fd = -1;
    int m_port = -1;
};

} // namespace zorel8z::test
