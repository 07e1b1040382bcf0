#include "app/ExcelExport.h"

#include "model/PresetFiles.h"
#include "platform/RegularFile.h"

#include <xlsxwriter.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

namespace {

// The largest workbook read back from the private folder: far above any report.
constexpr std::size_t kWorkbookLimit = 256u << 20;

// A private folder for the workbook being assembled, removed with what it holds.
class PrivateFolder {
public:
    PrivateFolder()
    {
        const char *tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/zk470-xlsx-XXXXXX";
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~PrivateFolder()
    {
        if (m_path.empty())
            return;
        ::unlink(File().c_str());
        ::rmdir(m_path.c_str());
    }
    bool Ok() const { return !m_path.empty(); }
    std::string File() const { return m_path + "/workbook.xlsx"; }

private:
    std::string m_path;
};

std::string SystemError(int err) { return err ? std::strerror(err) : "I/O error"; }

// libxlsxwriter, loaded at the first export: it brings the crypto and zip libraries with it, which
// every start of the program would otherwise load and relocate for a report few users write.
struct XlsxWriter {
    decltype(&::workbook_new) workbook_new = nullptr;
    decltype(&::workbook_add_worksheet) workbook_add_worksheet = nullptr;
    decltype(&::worksheet_write_string) worksheet_write_string = nullptr;
    decltype(&::workbook_close) workbook_close = nullptr;
    decltype(&::lxw_strerror) lxw_strerror = nullptr;
    std::string error;  // why it could not be loaded; empty when loaded
};

template <typename F>
bool Bind(void *lib, const char *name, F &fn)
{
    fn = reinterpret_cast<F>(::dlsym(lib, name));
    return fn != nullptr;
}

XlsxWriter LoadXlsxWriter()
{
    XlsxWriter x;
    void *lib = ::dlopen(ZK_XLSXWRITER_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (lib == nullptr) {
        const char *why = ::dlerror();
        x.error = std::string("the Excel library ") + ZK_XLSXWRITER_SONAME + " could not be loaded" +
                  (why ? std::string(": ") + why : std::string());
        return x;
    }
    if (!Bind(lib, "workbook_new", x.workbook_new) || !Bind(lib, "workbook_add_worksheet", x.workbook_add_worksheet) ||
        !Bind(lib, "worksheet_write_string", x.worksheet_write_string) ||
        !Bind(lib, "workbook_close", x.workbook_close) || !Bind(lib, "lxw_strerror", x.lxw_strerror)) {
        ::dlclose(lib);
        XlsxWriter missing;
        missing.error = std::string("the Excel library ") + ZK_XLSXWRITER_SONAME + " lacks a function the export needs";
        return missing;
    }
    return x;  // a loaded library stays loaded
}

const XlsxWriter &Xlsx()
{
    static const XlsxWriter x = LoadXlsxWriter();
    return x;
}

}  // namespace

ExcelExportResult WriteTextWorkbook(const std::string &path, const std::string &table,
                                    const std::vector<std::string> &columns,
                                    const std::vector<std::vector<std::string>> &rows)
{
    const XlsxWriter &xlsx = Xlsx();
    if (!xlsx.error.empty())
        return {false, xlsx.error};
    PrivateFolder folder;
    if (!folder.Ok())
        return {false, SystemError(errno)};
    const std::string file = folder.File();

    lxw_workbook *workbook = xlsx.workbook_new(file.c_str());
    if (!workbook)
        return {false, "the workbook could not be created"};
    lxw_worksheet *sheet = xlsx.workbook_add_worksheet(workbook, table.c_str());
    lxw_error err = sheet ? LXW_NO_ERROR : LXW_ERROR_MEMORY_MALLOC_FAILED;
    const auto put = [&](std::size_t row, std::size_t col, const std::string &text) {
        if (err == LXW_NO_ERROR)
            err = xlsx.worksheet_write_string(sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col), text.c_str(), nullptr);
    };
    for (std::size_t c = 0; c < columns.size(); ++c)
        put(0, c, columns[c]);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < columns.size() && c < rows[r].size(); ++c)
            put(r + 1, c, rows[r][c]);
    const lxw_error closed = xlsx.workbook_close(workbook);  // writes the file; frees the workbook either way
    if (err == LXW_NO_ERROR)
        err = closed;
    if (err != LXW_NO_ERROR)
        return {false, xlsx.lxw_strerror(err)};

    std::vector<std::uint8_t> bytes;
    if (ReadRegularFile(file, kWorkbookLimit, bytes) != FileReadStatus::Ok)
        return {false, SystemError(errno)};
    errno = 0;
    if (!WriteFileBytes(path, bytes))
        return {false, SystemError(errno)};
    return {true, {}};
}
