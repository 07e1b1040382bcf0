#include "controls/FileDialogEx.h"

#include <QFileDialog>
#include <QFileInfo>

CFileDialogEx::CFileDialogEx() = default;

CFileDialogEx::CFileDialogEx(bool openDialog, const QString &defExt, const QString &fileName, unsigned flags,
                             const QString &filter, QWidget *parent)
    : m_bOpen(openDialog), m_strDefExt(defExt), m_strFilter(filter), m_nFlags(flags | OFN_EXPLORER), m_pParent(parent)
{
    if (!fileName.isEmpty())
        m_strFile = fileName.toStdString();
}

CFileDialogEx::~CFileDialogEx() = default;

QStringList CFileDialogEx::ToNameFilters(const QString &filter)
{
    QStringList out;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty() && parts[i + 1].isEmpty())
            break;
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return out;
}

void CFileDialogEx::SetResult(const QStringList &paths)
{
    m_strFile.clear();
    m_strFileTitle.clear();
    if (paths.isEmpty())
        return;
    if (paths.size() == 1 || !(m_nFlags & OFN_ALLOWMULTISELECT)) {
        m_strFile = paths.first().toStdString();
        m_strFileTitle = QFileInfo(paths.first()).fileName();
        return;
    }
    const QString folder = QFileInfo(paths.first()).absolutePath();
    m_strFile = folder.toStdString();
    for (const QString &p : paths) {
        m_strFile.push_back('\0');
        m_strFile += QFileInfo(p).fileName().toStdString();
    }
    m_strFile.push_back('\0');
    m_strFileTitle = QFileInfo(paths.first()).fileName();
}

void CFileDialogEx::SetRawBuffer(const std::string &buffer, unsigned flags)
{
    m_strFile = buffer;
    m_nFlags = flags;
}

int CFileDialogEx::DoModal()
{
    QFileDialog dlg(m_pParent);
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    dlg.setAcceptMode(m_bOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    if (m_bOpen)
        dlg.setFileMode((m_nFlags & OFN_ALLOWMULTISELECT) ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    else
        dlg.setFileMode(QFileDialog::AnyFile);
    if (!(m_nFlags & OFN_OVERWRITEPROMPT))
        dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
    const QStringList filters = ToNameFilters(m_strFilter);
    if (!filters.isEmpty())
        dlg.setNameFilters(filters);
    if (!m_strDefExt.isEmpty())
        dlg.setDefaultSuffix(m_strDefExt.startsWith(QLatin1Char('.')) ? m_strDefExt.mid(1) : m_strDefExt);
    if (!m_strFile.empty())
        dlg.selectFile(QString::fromStdString(m_strFile));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return 2;  // IDCANCEL
    SetResult(dlg.selectedFiles());
    return 1;  // IDOK
}

QString CFileDialogEx::GetPathName() const
{
    // Up to the first NUL: the path of a single file, or the folder of several.
    return QString::fromStdString(std::string(m_strFile.c_str()));
}

QString CFileDialogEx::GetFileBaseName() const { return QFileInfo(GetPathName()).completeBaseName(); }

QString CFileDialogEx::GetFileExt() const
{
    const QString suffix = QFileInfo(GetPathName()).suffix();
    return suffix.isEmpty() ? QString() : QStringLiteral(".") + suffix;
}

QString CFileDialogEx::GetFileDir() const
{
    const QString path = GetPathName();
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash + 1);
}

QString CFileDialogEx::GetNextPathName(POSITION &pos) const
{
    if (pos < 0 || size_t(pos) >= m_strFile.size()) {
        pos = kNullPos;
        return QString();
    }
    const bool explorer = (m_nFlags & OFN_EXPLORER) != 0;
    const char sep = explorer ? '\0' : ' ';
    const std::string &buf = m_strFile;
    std::string path(buf.c_str());  // the buffer up to its first NUL
    if (pos == 0) {
        if (!(m_nFlags & OFN_ALLOWMULTISELECT)) {
            pos = kNullPos;
            return QString::fromStdString(path);
        }
        const size_t first = buf.find(sep);
        if (first == std::string::npos || first + 1 >= buf.size() || buf[first + 1] == '\0') {
            pos = kNullPos;
            return QString::fromStdString(path);
        }
        pos = POSITION(first + 1);
    }
    const std::string folder = explorer ? path : path.substr(0, path.find(sep));
    size_t end = buf.find(sep, size_t(pos));
    if (end == std::string::npos)
        end = buf.size();
    std::string name = buf.substr(size_t(pos), end - size_t(pos));
    if (!explorer && name.find('\0') != std::string::npos)
        name.resize(name.find('\0'));
    if (end >= buf.size() || (!explorer && buf[end] == '\0')) {
        pos = kNullPos;
    } else {
        pos = POSITION(end + 1);
        if (size_t(pos) >= buf.size() || buf[size_t(pos)] == '\0')
            pos = kNullPos;
    }
    const bool endsInSeparator = !folder.empty() && (folder.back() == '/' || folder.back() == '\\');
    return QString::fromStdString(endsInSeparator ? folder + name : folder + "/" + name);
}

int CFileDialogEx::SelectFolder(const QString &title, const QString &startFolder, unsigned, QWidget *parent)
{
    const QString dir = QFileDialog::getExistingDirectory(parent ? parent : m_pParent, title, startFolder,
                                                          QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (dir.isEmpty())
        return 2;
    m_strFolder = dir;
    return 1;
}
