#pragma once
// Writes a table of texts as an .xlsx workbook: one sheet named after the table, a first row of
// column names, then one row per record, every cell a text. The workbook is assembled in a private
// temporary folder and then written over the target through a temporary file that is renamed into
// place, so a failed export leaves no half-written workbook and keeps an older file of that name.
// Qt-free.

#include <string>
#include <vector>

struct ExcelExportResult {
    bool ok = false;
    std::string error;  // why it failed, for the user
};

ExcelExportResult WriteTextWorkbook(const std::string &path, const std::string &table,
                                    const std::vector<std::string> &columns,
                                    const std::vector<std::vector<std::string>> &rows);
