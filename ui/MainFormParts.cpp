// The shared ground of the main window's source files (MainFormParts.h).

#include "ui/MainFormParts.h"

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeView>

namespace mainform {

namespace {
const char* const DesignSizeProperty = "twinlensDesignSize";
// Room beside a button's caption beyond the style's minimum, so a long
// caption does not touch the frame.
constexpr int ButtonTextAir = 12;
} // namespace

// A control at least as large as designed, larger when its text needs it
// (FitToTexts).
void SetDesignSize(QWidget* w, int width, int height)
{
    w->setProperty(DesignSizeProperty, QSize(width, height));
    w->setMinimumSize(width, height);
    w->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

// Captions in other languages are often longer than the English ones the
// sizes were designed for: no control may cut its caption short, and no
// column its header.
void FitToTexts(QWidget* root, const QList<QTreeView*>& views)
{
    for (QWidget* w : root->findChildren<QWidget*>()) {
        const QVariant design = w->property(DesignSizeProperty);
        if (!design.isValid())
            continue;
        QSize needed = w->sizeHint();
        if (qobject_cast<QPushButton*>(w))
            needed.rwidth() += ButtonTextAir;
        w->setMinimumSize(design.toSize().expandedTo(needed));
    }
    for (QTreeView* view : views) {
        QHeaderView* header = view->header();
        for (int i = 0; i < header->count(); ++i)
            header->resizeSection(i, qMax(header->sectionSize(i), header->sectionSizeHint(i)));
    }
}

QPushButton* MakeButton(QWidget* parent, const char* name, int width, int height)
{
    auto* b = new QPushButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    SetDesignSize(b, width, height);
    return b;
}

QLabel* MakeLabel(QWidget* parent, const char* name, QWidget* buddy)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    // With a buddy, "&&" shows one "&" as on every other caption.
    l->setBuddy(buddy);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QSpinBox* MakeSpin(QWidget* parent, const char* name, int min, int max)
{
    auto* s = new QSpinBox(parent);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(min, max);
    SetDesignSize(s, 133, 22);
    return s;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, int width)
{
    auto* c = new QCheckBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    SetDesignSize(c, width, 17);
    return c;
}

QAction* MakeAction(QMenu* menu, const char* name)
{
    auto* a = menu->addAction(QString());
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

QMenu* MakeMenu(QWidget* parent, const char* name)
{
    auto* m = new QMenu(parent);
    m->setObjectName(QString::fromLatin1(name));
    m->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Item"));
    return m;
}

// The choices of "Compare files by", in the order of their item index.
QStringList CompareChoices()
{
    return { Translate(QStringLiteral("&Name")), Translate(QStringLiteral("S&ize")),
        Translate(QStringLiteral("Na&me && Size")), Translate(QStringLiteral("&Content (SHA-1)")) };
}

} // namespace mainform
