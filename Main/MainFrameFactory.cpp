#include "Main/MainFrameFactory.h"

#include <QWidget>

namespace {

// Stands in for the skinned main frame until it exists: a plain, real top-level window.
class PlaceholderFrame final : public tessaro::IMainFrame {
public:
    PlaceholderFrame() {
        m_window.setWindowTitle(QStringLiteral("Tessaro"));
        m_window.resize(1024, 680);
    }
    void ShowWindow(int show) override { m_window.setVisible(show != 0); }

private:
    QWidget m_window;
};

}  // namespace

std::shared_ptr<tessaro::IMainFrame> CreateMainFrame() {
    return std::make_shared<PlaceholderFrame>();
}
