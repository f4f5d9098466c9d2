#pragma once

#include "common/Errors.h"
#include "remote/HttpClient.h"

#include <QString>
#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <vector>

namespace zorel8z::test {

// A station in memory: records every request and answers from a script per path. Requests come
// from worker threads, so everything it keeps is guarded. A closed gate holds every request until
// it is opened, to stand for a slow station; holding one path holds only its requests.
class FakeHttpClient : public remote::HttpClient {
  public:
    struct Call {
        QString url;
        QByteArray body;
        int timeoutMs = 0;
    };
    // One scripted answer: a reply body, or a failed request.
    struct Reply {
        QString body;
        bool fails = false;
    };
    static Reply failure() { return {QString(), true}; }

    // The replies of one path in order; the last one repeats.
    void script(const QString& path, std::vector<Reply> replies) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_script[path] = std::move(replies);
    }

    QString post(const QString& url, const QByteArray& body, int timeoutMs) override {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_calls.push_back({url, body, timeoutMs});
        ++m_inFlight;
        m_maxInFlight = std::max(m_maxInFlight, m_inFlight);
        m_changed.notify_all();
        const QString path = pathOf(url);
        m_changed.wait(lock, [&] { return m_open && !m_held.count(path); });
        --m_inFlight;
        ++m_finished;
        m_changed.notify_all();

        const auto it = m_script.find(path);
        if (it == m_script.end() || it->second.empty())
            throw Error(QStringLiteral("no reply scripted for ") + path);
        const size_t nth = size_t(m_served[path]++);
        const Reply& r = it->second[std::min(nth, it->second.size() - 1)];
        if (r.fails)
            throw Error(QStringLiteral("Connection refused"));
        return r.body;
    }

    void close() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open = false;
    }
    void hold(const QString& path) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_held.insert(path);
    }
    // Lets every request through again.
    void open() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open = true;
        m_held.clear();
        m_changed.notify_all();
    }

    std::vector<Call> calls() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_calls;
    }
    int count(const QString& path) const {
        std::lock_guard<std::mutex> lock(m_mutex);
        int n = 0;
        for (const Call& c : m_calls)
            n += pathOf(c.url) == path;
        return n;
    }
    int inFlight() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_inFlight;
    }
    int maxInFlight() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_maxInFlight;
    }
    int finished() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_finished;
    }

    static QString pathOf(const QString& url) {
        const qsizetype slash = url.indexOf(QLatin1Char('/'), url.indexOf(QStringLiteral("//")) + 2);
        return slash < 0 ? QString() : url.mid(slash);
    }

  private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<QString, std::vector<Reply>> m_script;
    std::map<QString, int> m_served;
    std::vector<Call> m_calls;
    std::set<QString> m_held;
    bool m_open = true;
    int m_inFlight = 0;
    int m_maxInFlight = 0;
    int m_finished = 0;
};

} // namespace zorel8z::test
