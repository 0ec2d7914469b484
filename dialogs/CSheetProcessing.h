#pragma once
// "Image": the uniform picture page (0) and the resize page (1). Made for one
// command, opened on that command's page; the command reads its own page
// only.

#include <memory>

#include "CPropertySheet.h"

class CPageResize;
class CPageUniform;

class CSheetProcessing : public CPropertySheet {
    Q_OBJECT
public:
    static constexpr int kUniformPage = 0;
    static constexpr int kResizePage = 1;

    CSheetProcessing(const QString& caption, QWidget* parent, int firstPage);
    ~CSheetProcessing() override;

    CPageUniform* Uniform() const { return uniform_.get(); }
    CPageResize* Resize() const { return resize_.get(); }

private:
    std::unique_ptr<CPageUniform> uniform_;
    std::unique_ptr<CPageResize> resize_;
};
