#include "Step.h"

bool StepCanRun(const CImageDocument& doc, StepNeeds needs) {
    const CImage& image = *doc.GetImage();
    switch (needs) {
        case StepNeeds::Nothing:
            return true;
        case StepNeeds::Picture:
            return image.IsValid();
        case StepNeeds::FullPalette:
            return image.GetNumColors() == 256;
    }
    return false;
}
