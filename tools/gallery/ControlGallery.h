#pragma once
// A skinned dialog built through the toolkit's factories from every control kind the program
// uses, in their states, with English and Chinese texts. GUI thread only; needs a QApplication
// and the skin directory set (SFSetSkinPath) before Build.
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

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace gallery
