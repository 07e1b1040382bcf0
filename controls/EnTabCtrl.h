#pragma once
// The main view's page tab: tabs filled with a vertical colour gradient, a large font, darkened
// and lightened borders and red text on the selected tab, steered by custom-look flags shared by
// every instance.

#include "controls/BaseTabCtrl.h"

class CEnTabCtrl : public CBaseTabCtrl {
    Q_OBJECT
public:
    enum : unsigned {
        ETC_FLAT = 0x01,
        ETC_COLOR = 0x02,
        ETC_SELECTION = 0x04,
        ETC_GRADIENT = 0x08,
        ETC_BACKTABS = 0x10,
    };

    explicit CEnTabCtrl(QWidget *parent = nullptr);
    ~CEnTabCtrl() override;

    static void EnableCustomLook(bool enable, unsigned flags);
    static unsigned CustomLook() { return s_dwCustomLook; }
    // Whether the display gives at least 16 bits per pixel (the gradient needs it).
    void SetColourDepth(int bits) { m_nColourDepth = bits; update(); }

    static COLORREF Darker(COLORREF c, float factor);
    static COLORREF Lighter(COLORREF c, float factor);

    COLORREF GetTabColor(bool selected) override;
    COLORREF GetTabTextColor(bool selected) override;
    void DrawItem(const TabDrawItem &item) override;
    void DrawItemBorder(const TabDrawItem &item) override;
    void DrawMainBorder(const TabDrawItem &item) override;

    int CurrentItem() const { return m_nCurItem; }

private:
    int m_nCurItem = 3;
    int m_nColourDepth = 32;
    static unsigned s_dwCustomLook;
};
