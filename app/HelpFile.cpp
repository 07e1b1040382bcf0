#include "app/HelpFile.h"

#include "platform/GlobalData.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
HelpOpener s_opener;
constexpr const char *kDataFolder = "zk470";
}  // namespace

QString HelpFileName(bool chinese)
{
    return chinese ? QStringLiteral("CH_Help.chm") : QStringLiteral("EN_Help.chm");
}

QStringList HelpFileCandidates(bool chinese)
{
    const QString name = HelpFileName(chinese);
    QStringList paths;
    const auto add = [&paths](const QString &path) {
        const QString clean = QDir::cleanPath(path);
        if (!clean.isEmpty() && !paths.contains(clean))
            paths.append(clean);
    };
    const std::string &set = chinese ? g_szHelpFileCn : g_szHelpFileEn;
    if (!set.empty())
        add(QString::fromStdString(set));
    else
        add(QDir(g_szStartFolder.empty() ? QDir::currentPath() : QString::fromStdString(g_szStartFolder)).filePath(name));
    if (QCoreApplication::instance())
        add(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/%1/%2").arg(kDataFolder, name)));
    for (const QString &dir : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        add(QDir(dir).filePath(QStringLiteral("%1/%2").arg(kDataFolder, name)));
    return paths;
}

bool OpenHelpFile(bool chinese)
{
    for (const QString &path : HelpFileCandidates(chinese)) {
        const QFileInfo info(path);
        if (!info.isFile() || !info.isReadable())
            continue;
        const QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
        if (s_opener ? s_opener(url) : QDesktopServices::openUrl(url))
            return true;
    }
    return false;
}

void SetHelpOpener(HelpOpener opener)
{
    s_opener = std::move(opener);
}
