#include "TestSupport.h"

#include <QFile>
#include <utility>

namespace ovlix::test {

QStringList FilesFolder::logMessages() const
{
    QStringList messages;
    const QString stamp = fixedStamp();
    const QString text = QString::fromLocal8Bit(read(QStringLiteral("OvlixSetup.log")));
    for (const QString& line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        messages.append(line.startsWith(stamp) ? line.mid(stamp.size())
                                               : QStringLiteral("?") + line);
    return messages;
}

std::unique_ptr<HttpFetcher> HeldRequests::fetcher()
{
    class Held : public HttpFetcher {
    public:
        explicit Held(HeldRequests& requests) : requests_(requests) {}
        void get(const QUrl& url, Done done) override
        {
            requests_.urls_.append(url);
            requests_.done_.append(std::move(done));
        }

    private:
        HeldRequests& requests_;
    };
    return std::make_unique<Held>(*this);
}

QByteArray FilesFolder::read(const QString& name) const
{
    QFile file(path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void FilesFolder::write(const QString& name, const QByteArray& bytes) const
{
    QFile file(path(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

} // namespace ovlix::test
