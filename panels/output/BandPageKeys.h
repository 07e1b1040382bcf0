#pragma once
// Enter, Tab and Escape inside a page of band edits (the output page and the input page). Enter
// in an edit steps right in GEQ mode and down the band's column in PEQ mode, Tab in an edit steps
// right (the pages have no tab order), both as messages to the page's table; Escape gives the page
// the focus. True when the page took the key; Enter goes on to the edit as well.

class CMessageTable;
class QWidget;

bool HandleBandPageKey(QWidget &page, CMessageTable &table, int key, bool geq);
