#pragma once
// The edit of the preset-name dialog. Names are stored in fixed byte cells (GBK), where every
// double-byte character must start on an even byte: while alignment is on, typing a double-byte
// character after an odd number of bytes first inserts a space, and at focus loss the whole text
// is aligned the same way. A character that GBK cannot hold is never taken, and with a limit set
// the text never grows beyond that many GBK bytes, alignment blanks included.

#include <QLineEdit>

class CChEnEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CChEnEdit(QWidget *parent = nullptr);
    ~CChEnEdit() override;

    void EnableAlign(bool on) { m_bAlign = on; }
    bool IsAlign() const { return m_bAlign; }
    // The most GBK bytes the user can type (the name field's room); 0 for no limit. Texts set by
    // the program are not cut.
    void SetLimitText(int bytes) { m_nLimit = bytes > 0 ? bytes : 0; }
    int GetLimitText() const { return m_nLimit; }
    // Whether the user may leave this text in the edit: every character has a GBK form and, with
    // a limit, the text as it will be aligned fits it.
    bool Accepts(const QString &text) const;

    // GBK bytes of one character (one code unit, or a surrogate pair): 1 for ASCII and for the
    // one non-ASCII character GBK stores in a single byte (the euro sign), 2 for every other
    // character, including those GBK cannot hold (the name fields refuse them later).
    static int GbkBytes(QChar c);
    static int GbkBytes(const QString &character);
    static int GbkLength(const QString &text);
    // Inserts a space before every double-byte character that follows an odd number of single
    // bytes (counted from the start or from the previous double-byte character).
    static QString AlignText(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void inputMethodEvent(QInputMethodEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    QString AlignTyped(const QString &typed) const;
    // The text after `typed` replaces the selection (or goes in at the cursor).
    QString TextWithTyped(const QString &typed) const;

    bool m_bAlign = true;
    int m_nLimit = 0;
};
