#include "AppContext.h"

#include <QDir>

namespace ovlix {

QString withTrailingSeparator(const QString& directory)
{
    QString native = QDir::toNativeSeparators(directory);
    const QChar separator = QDir::separator();
    if (!native.endsWith(separator))
        native += separator;
    return native;
}

AppContext makeAppContext(const QString& dataFolder, const QString& version)
{
    AppContext context;
    context.AppDir = withTrailingSeparator(dataFolder);
    context.LogFile = context.AppDir + QStringLiteral("OvlixSetup.log");
    context.AppVersion = version;
    context.LabelsFile = context.AppDir + QStringLiteral("labels");
    context.NetsetFile = context.AppDir + QStringLiteral("netset");
    return context;
}

} // namespace ovlix
