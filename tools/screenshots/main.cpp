// screenshots: draws the program's real windows to PNG files without a display, for the README
// and the user's guides (docs/screenshots/). A developer's tool, not part of the product.
//
//   screenshots --out DIR [--app-dir DIR]
//
// Each language runs in a child process of its own (a fresh main frame, started by the program's
// own start-up sequence under QT_QPA_PLATFORM=offscreen), and the main window once more at a
// device pixel ratio of 2 (QT_SCALE_FACTOR=2). A child drives the windows as a user would: it
// clicks the controls, chooses the 55-inch model in the model selection dialog, and grabs each
// modal window from inside its modal run before closing it. Files, per language (en, zh):
//
//   main-<l>.png        the "BluePrint" page at start-up
//   model-<l>.png       the model selection dialog with the 55-inch model under the cursor
//   main-fit55-<l>.png  after choosing it and Fit To Room
//   message-<l>.png     the message box refusing one more column than fits
//   main-feet-<l>.png   the same wall with the unit switched to feet
//   data-<l>.png        the "Data output" page of the 55-inch wall
//   export-<l>.png      the export dialog
//   export-message-<l>.png  the notice of a finished export (written to a scratch folder)
//   data46-<l>.png      the "Data output" page after Fit To Room with a 46-inch model
//   video-<l>.png       "Sample Video" playing over a 4 x 3 wall of that model
//   about-<l>.png       the about dialog
//   main-dpr2-<l>.png   the main window at start-up, device pixel ratio 2
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "Main/AboutDlg.h"
#include "Main/DataOutputView.h"
#include "Main/MainFrame.h"
#include "Main/MainFrameFactory.h"
#include "Main/ModelSelectDlg.h"
#include "Main/ParameterSetting.h"
#include "Main/ToolBar.h"
#include "framework/os/SFAppDir.h"
#include "shell/Startup.h"
#include "shell/lang/LanguageTable.h"

namespace {

// The 55-inch model the pictures and the guides show (1213 x 684 mm), and a 46-inch one (its
// packaging is the 46-inch class's own).
constexpr wchar_t kModel55[] = L"TW-55N35";
constexpr wchar_t kModel46[] = L"TW-46U18";
// How long a child may take before it gives up (a modal window that never opened, a hang).
constexpr int kChildTimeoutMs = 120000;

struct ChildOptions {
    QString outDir;
    QString suffix;  // "en" or "zh"
    int language = 0;
    bool mainOnly = false;  // the pixel ratio 2 run: the start-up picture alone
};
ChildOptions g_options;
bool g_failed = false;
std::shared_ptr<CMainFrameEventImp> g_frame;

void Fail(const QString& what) {
    std::fprintf(stderr, "screenshots: %s\n", qPrintable(what));
    g_failed = true;
}

QWidget* WidgetOf(CSFControl* control) {
    return control != nullptr ? static_cast<QWidget*>(control->GetUIWnd()) : nullptr;
}

// Lets queued work run (layout passes of the preview, repaints) for about ms milliseconds.
void Settle(int ms = 300) {
    QElapsedTimer clock;
    clock.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    } while (clock.elapsed() < ms);
}

void Save(QWidget* window, const QString& name) {
    if (window == nullptr) {
        Fail(QStringLiteral("no window for ") + name);
        return;
    }
    const QString file = g_options.outDir + QLatin1Char('/') + name + QLatin1Char('-') +
                         g_options.suffix + QStringLiteral(".png");
    if (!window->grab().save(file)) {
        Fail(QStringLiteral("cannot write ") + file);
    } else {
        std::printf("%s\n", qPrintable(file));
    }
}

// A left click in the middle of widget, as the mouse delivers it.
void Click(QWidget* widget, QPoint at = QPoint(-1, -1)) {
    if (at.x() < 0) {
        at = widget->rect().center();
    }
    const QPointF local(at);
    const QPointF global(widget->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
    Settle(100);
}

void PressKey(QWidget* widget, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

// The visible button of the given kind (QPushButton, QRadioButton) under root whose text is the
// translation of key. The kind matters: a step header and a push button may read the same.
template <typename Button>
Button* ButtonNamed(QWidget* root, const wchar_t* key) {
    const QString text = QString::fromStdWString(Translate(key));
    if (root != nullptr) {
        for (Button* button : root->findChildren<Button*>()) {
            if (button->text() == text && button->isVisible()) {
                return button;
            }
        }
    }
    Fail(QStringLiteral("no button \"") + text + QStringLiteral("\""));
    return nullptr;
}

// Calls open, which runs a modal window, and from inside that modal run hands the window to
// inside, which must close it. Fails instead of waiting for ever when no modal window appears.
void WithModal(const std::function<void()>& open, const std::function<void(QWidget*)>& inside) {
    auto answered = std::make_shared<bool>(false);
    auto* poll = new QTimer(qApp);
    QElapsedTimer waited;
    waited.start();
    QObject::connect(poll, &QTimer::timeout, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal->isVisible()) {
            poll->stop();
            poll->deleteLater();
            *answered = true;
            Settle(300);
            inside(modal);
        } else if (waited.elapsed() > 5000) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start(10);
    open();
    if (!*answered) {
        Fail(QStringLiteral("a modal window did not open"));
    }
    Settle();
}

// Clicks the row of the model in the open model dialog and chooses it; saves the dialog first
// when a picture name is given.
void ChooseModel(QWidget* dialog, const wchar_t* model, const QString& picture) {
    const ProductCatalogue& catalogue = g_frame->ModelSelectDlg()->Catalogue();
    int row = 0;
    auto found = catalogue.begin();
    for (; found != catalogue.end() && found->second.model != model; ++found) {
        ++row;
    }
    auto* list = dialog->findChild<QTableWidget*>();
    if (found == catalogue.end() || list == nullptr || list->item(row, 0) == nullptr) {
        Fail(QStringLiteral("the model list has no row ") + QString::fromWCharArray(model));
        PressKey(dialog, Qt::Key_Escape);
        return;
    }
    Click(list->viewport(), list->visualItemRect(list->item(row, 1)).center());
    if (!picture.isEmpty()) {
        Save(dialog, picture);
    }
    if (auto* choose = ButtonNamed<QPushButton>(dialog, L"Choose this model")) {
        Click(choose);
    } else {
        PressKey(dialog, Qt::Key_Escape);
    }
}

void SaveAndEscape(QWidget* modal, const QString& name) {
    Save(modal, name);
    PressKey(modal, Qt::Key_Escape);
}

// Step 2: the model dialog, the model's row, "Choose this model"; then Fit To Room.
void ChooseAndFit(QWidget* panel, const wchar_t* model, const QString& picture) {
    if (auto* header = ButtonNamed<QRadioButton>(panel, L"Choose Model")) {
        Click(header);
    }
    if (auto* select = ButtonNamed<QPushButton>(panel, L"Select Model")) {
        WithModal([select] { Click(select); },
                  [model, picture](QWidget* dialog) { ChooseModel(dialog, model, picture); });
    }
    if (g_frame->Design().modelWidth <= 0.0) {
        Fail(QStringLiteral("no model applied"));
    }
    if (auto* fit = ButtonNamed<QPushButton>(panel, L"  Fit To Room")) {
        Click(fit);
    }
    Settle();
}

void ShowTab(QWidget* toolBar, const wchar_t* tab) {
    if (auto* button = ButtonNamed<QRadioButton>(toolBar, tab)) {
        Click(button);
    }
    Settle();
}

// "Export To Excel": the dialog, then OK into a scratch folder, and the notice of the export.
// The export runs as a task posted once the dialog closed, and its notice opens from inside
// whatever is spinning the event loop then: a poller armed before OK answers it.
void ShootExport(const QString& scratch) {
    QWidget* page = WidgetOf(g_frame->DataOutputView()->View());
    auto* exportButton = ButtonNamed<QPushButton>(page, L"    Export To Excel");
    if (exportButton == nullptr) {
        return;
    }
    auto noticed = std::make_shared<bool>(false);
    WithModal([exportButton] { Click(exportButton); },
              [scratch, noticed](QWidget* dialog) {
                  Save(dialog, QStringLiteral("export"));
                  for (QLineEdit* field : dialog->findChildren<QLineEdit*>()) {
                      if (field->isReadOnly()) {
                          field->setText(scratch);  // the folder: never the application's
                      }
                  }
                  auto* poll = new QTimer(qApp);
                  QObject::connect(poll, &QTimer::timeout, [poll, dialog, noticed] {
                      QWidget* modal = QApplication::activeModalWidget();
                      if (modal != nullptr && modal != dialog && modal->isVisible()) {
                          poll->stop();
                          poll->deleteLater();
                          *noticed = true;
                          Settle(300);
                          SaveAndEscape(modal, QStringLiteral("export-message"));
                      }
                  });
                  poll->start(10);
                  if (auto* ok = ButtonNamed<QPushButton>(dialog, L"OK")) {
                      Click(ok);
                  } else {
                      PressKey(dialog, Qt::Key_Escape);
                  }
              });
    QElapsedTimer waited;
    waited.start();
    while (!*noticed && waited.elapsed() < 5000) {
        Settle(50);
    }
    if (!*noticed) {
        Fail(QStringLiteral("the export showed no notice"));
    }
}

void Shoot() {
    QWidget* main = WidgetOf(g_frame->Window());
    Settle(800);
    Save(main, g_options.mainOnly ? QStringLiteral("main-dpr2") : QStringLiteral("main"));
    if (g_options.mainOnly) {
        return;
    }
    QWidget* panel = WidgetOf(g_frame->ParameterPanel()->View());
    QWidget* toolBar = WidgetOf(g_frame->ToolBar()->View());

    ChooseAndFit(panel, kModel55, QStringLiteral("model"));
    Save(main, QStringLiteral("main-fit55"));

    // One column more than fits, asked as the panel's column spinner asks: refused with the
    // maximum.
    const WallDesign design = g_frame->Design();
    WithModal([design] { g_frame->ApplyCount(1, design.columns + 1); },
              [](QWidget* box) { SaveAndEscape(box, QStringLiteral("message")); });

    ShowTab(toolBar, L"Data output");
    Save(main, QStringLiteral("data"));
    const QTemporaryDir scratch;
    ShootExport(scratch.path());
    ShowTab(toolBar, L"BluePrint");

    // Step 1, "Feet".
    if (auto* header = ButtonNamed<QRadioButton>(panel, L"Define Wall Size")) {
        Click(header);
    }
    if (auto* feet = ButtonNamed<QRadioButton>(panel, L"Feet")) {
        Click(feet);
    }
    Settle();
    Save(main, QStringLiteral("main-feet"));
    if (auto* meters = ButtonNamed<QRadioButton>(panel, L"Meters")) {
        Click(meters);
    }

    // A 46-inch model, fitted: its "Data output" page.
    ChooseAndFit(panel, kModel46, QString());
    ShowTab(toolBar, L"Data output");
    Save(main, QStringLiteral("data46"));
    ShowTab(toolBar, L"BluePrint");

    // Step 4, "Sample Video", over a wall that holds 4 x 3 of that model.
    g_frame->ApplyWallSize(4.5, 2.9);
    g_frame->ApplyFitToRoom();
    if (auto* header = ButtonNamed<QRadioButton>(panel, L"Content Configuration")) {
        Click(header);
    }
    if (auto* content = panel->findChild<QComboBox*>()) {
        content->setCurrentIndex(
            content->findText(QString::fromStdWString(Translate(L"Sample Video"))));
    }
    QElapsedTimer waited;
    waited.start();
    while (g_frame->Playback().drawn < 10 && waited.elapsed() < 10000) {
        Settle(50);
    }
    if (g_frame->Playback().drawn == 0) {
        Fail(QStringLiteral("the sample video drew no frame"));
    }
    Save(main, QStringLiteral("video"));
    g_frame->ChooseContent(kContentImage1);

    WithModal([] { g_frame->ShowAboutDlg(); },
              [](QWidget* about) { SaveAndEscape(about, QStringLiteral("about")); });
}

// The factory start-up calls: the program's own main frame in the child's language, with the
// pictures taken once the event loop runs.
std::shared_ptr<tessaro::IMainFrame> CreateFrameForPictures() {
    CurrentLanguage = g_options.language;
    std::shared_ptr<tessaro::IMainFrame> frame = CreateMainFrame();
    g_frame = std::dynamic_pointer_cast<CMainFrameEventImp>(frame);
    QTimer::singleShot(0, [] {
        if (!g_frame) {
            Fail(QStringLiteral("the main frame factory made no CMainFrameEventImp"));
        } else {
            Shoot();
        }
        g_frame.reset();
        QCoreApplication::exit(0);
    });
    return frame;
}

int RunChild(int argc, char** argv, const QString& appDir) {
    SF_SOFT_BASE::SetApplicationDirectory(appDir.toStdString());
    // A child that hangs (a modal window that never closes) ends itself.
    std::thread([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(kChildTimeoutMs));
        std::fputs("screenshots: timed out\n", stderr);
        std::_Exit(1);
    }).detach();
    tessaro::RunApplication(argc, argv, &CreateFrameForPictures);
    return g_failed ? 1 : 0;
}

int RunChildren(const QString& self, const QString& outDir, const QString& appDir) {
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "screenshots: cannot create %s\n", qPrintable(outDir));
        return 1;
    }
    struct Run {
        const char* suffix;
        int language;
        bool ratio2;
    };
    const Run runs[] = {{"en", 0, false}, {"zh", 1, false}, {"en", 0, true}, {"zh", 1, true}};
    int result = 0;
    for (const Run& run : runs) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        env.remove(QStringLiteral("QT_SCALE_FACTOR"));
        if (run.ratio2) {
            env.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
        }
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        QStringList args{QStringLiteral("--child"),
                         QStringLiteral("--out"),
                         outDir,
                         QStringLiteral("--app-dir"),
                         appDir,
                         QStringLiteral("--lang"),
                         QString::number(run.language),
                         QStringLiteral("--suffix"),
                         QString::fromLatin1(run.suffix)};
        if (run.ratio2) {
            args << QStringLiteral("--main-only");
        }
        child.start(self, args);
        if (!child.waitForFinished(kChildTimeoutMs + 10000) ||
            child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
            std::fprintf(stderr, "screenshots: the %s run%s failed\n", run.suffix,
                         run.ratio2 ? " at pixel ratio 2" : "");
            result = 1;
        }
    }
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    QString outDir, appDir = QStringLiteral(TESSARO_APP_DIR);
    bool child = false;
    // Arguments are read before any application object exists: a child's QApplication is made
    // by the program's start-up sequence itself.
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--out" && hasValue) {
            outDir = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == "--app-dir" && hasValue) {
            appDir = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == "--lang" && hasValue) {
            g_options.language = std::atoi(argv[++i]);
        } else if (arg == "--suffix" && hasValue) {
            g_options.suffix = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == "--main-only") {
            g_options.mainOnly = true;
        } else if (arg == "--child") {
            child = true;
        } else {
            std::fputs("usage: screenshots --out DIR [--app-dir DIR]\n", stderr);
            return 2;
        }
    }
    if (outDir.isEmpty()) {
        std::fputs("usage: screenshots --out DIR [--app-dir DIR]\n", stderr);
        return 2;
    }
    g_options.outDir = QDir(outDir).absolutePath();
    if (child) {
        char* childArgv[] = {argv[0], nullptr};
        return RunChild(1, childArgv, appDir);
    }
    QCoreApplication app(argc, argv);
    return RunChildren(QCoreApplication::applicationFilePath(), g_options.outDir, appDir);
}
