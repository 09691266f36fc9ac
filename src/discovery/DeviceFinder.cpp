#include "DeviceFinder.h"

#include "core/EventLog.h"
#include "core/TextFiles.h"
#include "device/DeviceRequests.h"
#include "device/HttpFetcher.h"
#include "NeighbourTable.h"

#include <QHostAddress>
#include <QPointer>

namespace ovlix {

namespace {

// A transfer abandoned from inside one of its own answers: it goes when that
// answer has returned to the event loop.
class RetiredTransfer : public QObject {
public:
    explicit RetiredTransfer(std::unique_ptr<HttpFetcher> transfer) : transfer_(std::move(transfer))
    {
    }

private:
    std::unique_ptr<HttpFetcher> transfer_;
};

} // namespace

DeviceFinder::DeviceFinder(const EventLog& log, MakeTransfer makeTransfer, QObject* parent)
    : QObject(parent), log_(log), makeTransfer_(std::move(makeTransfer))
{
}

DeviceFinder::~DeviceFinder()
{
    retireTransfer();
}

void DeviceFinder::start(const SearchPlan& plan)
{
    cancel();
    transfer_ = makeTransfer_();
    addresses_ = plan.addresses;
    next_ = 0;
    done_ = 0;
    inFlight_ = 0;
    found_ = 0;
    clock_.start();
    log_.WriteLog(QStringLiteral("Find devices: searching %1, %2")
                      .arg(plan.networksText(), addressCount(addresses_.size())));
    Q_EMIT progress(0, int(addresses_.size()));
    if (addresses_.isEmpty()) {
        end(QStringLiteral("done"));
        return;
    }
    sendNext();
}

void DeviceFinder::cancel()
{
    if (running())
        end(QStringLiteral("stopped"));
}

void DeviceFinder::sendNext()
{
    while (inFlight_ < kSearchRequestsInFlight && next_ < addresses_.size()) {
        const quint32 address = addresses_[next_++];
        ++inFlight_;
        transfer_->get(
            probeUrl(QHostAddress(address).toString()),
            [self = QPointer(this), search = search_, address](const FetchResult& result) {
                if (self && self->search_ == search)
                    self->answered(address, result.body);
            });
    }
}

void DeviceFinder::answered(quint32 address, const QByteArray& body)
{
    answering_ = true;
    --inFlight_;
    ++done_;
    // A receiver may cancel, start afresh or even destroy the finder.
    const QPointer guard(this);
    const quint64 search = search_;
    const auto stillSearching = [&] { return guard && search_ == search; };
    // A failed request has an empty body, which carries no version either.
    if (const std::optional<QString> version = findVersion(fromFileText(body))) {
        ++found_;
        const FoundDevice device{QHostAddress(address).toString(), *version,
                                 neighbourMacAddress(address)};
        log_.WriteLog(
            QStringLiteral("Find devices: Ovlix %1 at %2, MAC address %3")
                .arg(device.version, device.address,
                     device.macAddress.isEmpty() ? QStringLiteral("unknown") : device.macAddress));
        Q_EMIT deviceFound(device);
    }
    if (stillSearching())
        Q_EMIT progress(done_, int(addresses_.size()));
    if (stillSearching()) {
        if (done_ == addresses_.size())
            end(QStringLiteral("done"));
        else
            sendNext();
    }
    if (guard)
        answering_ = false;
}

void DeviceFinder::end(const QString& howItEnded)
{
    retireTransfer();
    log_.WriteLog(QStringLiteral("Find devices: %1 after %2 s, %3 of %4 asked, %5 found")
                      .arg(howItEnded)
                      .arg(double(clock_.elapsed()) / 1000.0, 0, 'f', 1)
                      .arg(done_)
                      .arg(addressCount(addresses_.size()))
                      .arg(found_));
    Q_EMIT finished(found_);
}

void DeviceFinder::retireTransfer()
{
    ++search_;
    if (answering_ && transfer_)
        (new RetiredTransfer(std::move(transfer_)))->deleteLater();
    transfer_.reset();
}

} // namespace ovlix
