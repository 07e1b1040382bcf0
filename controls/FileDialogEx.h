#pragma once
// The open/save file dialog and the folder browser, with the chosen path kept in a buffer that
// can be split (folder, name, extension) and walked file by file for multiple selections.

#include <QString>
#include <QStringList>

#include <string>

class QWidget;

inline constexpr unsigned OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr unsigned OFN_HIDEREADONLY = 0x00000004;
inline constexpr unsigned OFN_ALLOWMULTISELECT = 0x00000200;
inline constexpr unsigned OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr unsigned OFN_FILEMUSTEXIST = 0x00001000;
inline constexpr unsigned OFN_EXPLORER = 0x00080000;

class CFileDialogEx {
public:
    // A position in the file buffer; kNullPos once the walk is over.
    using POSITION = long;
    static constexpr POSITION kNullPos = -1;

    CFileDialogEx();
    // filter in the system's form: pairs of description and patterns separated by '|', ended by "||".
    CFileDialogEx(bool openDialog, const QString &defExt, const QString &fileName, unsigned flags,
                  const QString &filter, QWidget *parent = nullptr);
    virtual ~CFileDialogEx();

    virtual int DoModal();

    QString GetPathName() const;
    QString GetFileNameWithExt() const { return m_strFileTitle; }
    QString GetFileBaseName() const;
    QString GetFileExt() const;
    QString GetFileDir() const;
    QString GetFileDrive() const { return QString(); }  // paths here have no drive
    POSITION GetStartPosition() const { return m_strFile.empty() ? kNullPos : 0; }
    QString GetNextPathName(POSITION &pos) const;

    int SelectFolder(const QString &title, const QString &startFolder = QString(), unsigned flags = 0,
                     QWidget *parent = nullptr);
    QString GetSelectedFolder() const { return m_strFolder; }

    // The Qt name filters of a filter in the system's form.
    static QStringList ToNameFilters(const QString &filter);
    // Sets the buffer as a dialog of `flags` leaves it (the files' NUL-separated list when
    // several were chosen). For the dialog and for tests.
    void SetResult(const QStringList &paths);
    void SetRawBuffer(const std::string &buffer, unsigned flags);
    unsigned Flags() const { return m_nFlags; }

private:
    bool m_bOpen = true;
    QString m_strDefExt;
    QString m_strFilter;
    unsigned m_nFlags = OFN_EXPLORER;
    QWidget *m_pParent = nullptr;
    std::string m_strFile;  // UTF-8; several files: folder NUL name NUL name NUL NUL
    QString m_strFileTitle;
    QString m_strFolder;
};
