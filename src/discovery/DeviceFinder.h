#pragma once

#include "SearchPlan.h"

#include <chrono>
#include <functional>
#include <memory>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

namespace ovlix {

class EventLog;
class HttpFetcher;

// Each address is given this long to answer with its root page.
inline constexpr std::chrono::milliseconds kSearchDeadline{1500};
// Never more requests in flight than this, however large the networks.
inline constexpr int kSearchRequestsInFlight = 256;

struct FoundDevice {
    QString address;
    QString version;
    QString macAddress; // empty when the PC's neighbour table does not know it
};

// Sweeps networks for devices: one GET of the root page at every address of a
// plan, keeping the addresses whose page carries a version. Cancelling,
// starting again or destroying the finder abandons every request in flight
// together with the transfer that carries them.
class DeviceFinder : public QObject {
    Q_OBJECT
public:
    // Makes the transfer of one search, with the per-address deadline.
    using MakeTransfer = std::function<std::unique_ptr<HttpFetcher>()>;

    DeviceFinder(const EventLog& log, MakeTransfer makeTransfer, QObject* parent = nullptr);
    ~DeviceFinder() override;

    void start(const SearchPlan& plan);
    void cancel();
    bool running() const { return transfer_ != nullptr; }

Q_SIGNALS:
    void deviceFound(const ovlix::FoundDevice& device);
    void progress(int done, int total);
    // After the last address has answered or failed, or after a cancel.
    void finished(int devicesFound);

private:
    void sendNext();
    void answered(quint32 address, const QByteArray& body);
    void end(const QString& howItEnded);
    void retireTransfer();

    const EventLog& log_;
    MakeTransfer makeTransfer_;
    std::unique_ptr<HttpFetcher> transfer_;
    QList<quint32> addresses_;
    qsizetype next_ = 0;
    int done_ = 0;
    int inFlight_ = 0;
    int found_ = 0;
    // Tells an answer of an abandoned search from one of the current search.
    quint64 search_ = 0;
    bool answering_ = false;
    QElapsedTimer clock_;
};

} // namespace ovlix
