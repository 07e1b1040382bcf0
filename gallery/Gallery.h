#pragma once
// The gallery: every control, page and dialog drawn in both languages to PNG files, for a person
// to look at (`make gallery` writes build/gallery/<name>-<zh|en>.png; CI runs it headless).
//
// Adding a picture is one registration in any file of this folder:
//
//   ZK_GALLERY(update_dialog)
//   {
//       CUpgradeDlg dlg(...);
//       return Gallery::Shot(dlg);
//   }
//
// The body runs once per language with g_bChinese already set, and returns the picture. A body
// that cannot draw (a missing skin, a page that failed to build) returns a null image: the
// program then reports the name and exits with an error.

#include <QColor>
#include <QImage>
#include <QString>

#include <functional>
#include <vector>

class CKTV_OutData;
class QWidget;

namespace Gallery {

struct Entry {
    const char *name;
    std::function<QImage()> render;
};

// Every registered entry, in registration order within a file.
std::vector<Entry> &Entries();

struct Registrar {
    Registrar(const char *name, QImage (*render)()) { Entries().push_back({name, render}); }
};

bool Chinese();

// A tuned output: a sub-bass cut, a presence lift, two notches and crossovers at 60 Hz and 12 kHz.
void ShapeOutput(CKTV_OutData &out);

// A widget as shown on screen: shown (so it lays out and takes focus looks), events processed,
// grabbed with its children.
QImage Shot(QWidget &w);

// A widget rendered onto a plain background (for controls without a parent of their own).
QImage On(QWidget &w, QColor background);

// A sheet of labelled cells on the console background.
class Sheet {
public:
    Sheet(int cols, int cellW, int cellH, int rows);
    void Add(const QString &label, const QImage &img);
    const QImage &Image() const { return m_img; }

private:
    int m_cols, m_w, m_h, m_n = 0;
    QImage m_img;
};

}  // namespace Gallery

#define ZK_GALLERY_CAT2(a, b) a##b
#define ZK_GALLERY_CAT(a, b) ZK_GALLERY_CAT2(a, b)
#define ZK_GALLERY(name)                                                                                   \
    static QImage ZK_GALLERY_CAT(galleryRender_, name)();                                                  \
    static const Gallery::Registrar ZK_GALLERY_CAT(galleryEntry_, name){#name,                             \
                                                                        &ZK_GALLERY_CAT(galleryRender_, name)}; \
    static QImage ZK_GALLERY_CAT(galleryRender_, name)()
