// The wall preview keeps the common contract of every control: Create honours the visible bit,
// MoveWindow takes width and height, a null sink is allowed, SFDestroyControl deletes the widget.
#include "Main/view/SFEffectView.h"
#include "toolkit/SFFactory.h"

#include <QPointer>
#include <QTest>
#include <QWidget>

class EffectViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keepsTheCommonContract() {
        QWidget parent;
        parent.show();
        const tagRECT r{4, 6, 104, 36};
        CSFEffectView* hidden = SFCreateEffectView(nullptr);
        QCOMPARE(hidden->Create(L"", L"", 0, &r, &parent, 1), 1);
        auto* widget = static_cast<QWidget*>(hidden->GetUIWnd());
        QVERIFY(!widget->isVisible());
        QCOMPARE(widget->parentWidget(), &parent);
        QCOMPARE(widget->geometry(), QRect(4, 6, 100, 30));
        hidden->MoveWindow(1, 2, 50, 20);
        QCOMPARE(widget->geometry(), QRect(1, 2, 50, 20));

        CSFEffectView* shown = SFCreateEffectView(nullptr);
        shown->Create(L"", L"", SF_WS_VISIBLE, &r, &parent, 2);
        QPointer<QWidget> gone(static_cast<QWidget*>(shown->GetUIWnd()));
        QVERIFY(gone->isVisible());
        SFDestroyControl(shown);
        QVERIFY(gone.isNull());
        SFDestroyControl(hidden);
    }
};

QTEST_MAIN(EffectViewTest)
#include "EffectViewTest.moc"
