#pragma once
// A skinned dialog built through the toolkit's factories from every control kind the program
// uses, in their states, with English and Chinese texts. GUI thread only; needs a QApplication
// and the skin directory set (SFSetSkinPath) before Build.
#include <QImage>
#include <QPoint>

#include <memory>

class QWidget;

namespace gallery {

class ControlGallery {
public:
    ControlGallery();
    ~ControlGallery();
    ControlGallery(const ControlGallery&) = delete;
    ControlGallery& operator=(const ControlGallery&) = delete;

    // Creates the dialog with its controls; returns its widget (owned by this object), or null
    // when the toolkit could not create it.
    QWidget* Build();

    // The tool bar's "Setting" menu (language sub-menu, help, about) as it looks when open, for
    // pictures; where it opens under the settings button, in the dialog's coordinates.
    QImage MenuPicture();
    QPoint MenuPosition() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace gallery
