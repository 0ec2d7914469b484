#include "CSheetProcessing.h"

#include "CPageResize.h"
#include "CPageUniform.h"

CSheetProcessing::CSheetProcessing(const QString& caption, QWidget* parent, int firstPage)
    : CPropertySheet(caption, parent),
      uniform_(std::make_unique<CPageUniform>()),
      resize_(std::make_unique<CPageResize>()) {
    AddPage(uniform_.get());
    AddPage(resize_.get());
    SetActivePage(firstPage);
}

CSheetProcessing::~CSheetProcessing() = default;
