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
        case StepNeeds::FileValues:
            return doc.GetSamples() != nullptr;
    }
    return false;
}

const char* StepNeedWords(StepNeeds needs) {
    switch (needs) {
        case StepNeeds::Nothing:
        case StepNeeds::Picture:
            return "a picture";
        case StepNeeds::FullPalette:
            break;
        case StepNeeds::FileValues:
            return "the file's own samples, kept from a grey file deeper than 8 bits until a "
                   "step other than a window changes its levels";
    }
    return "an 8-bit picture with 256 colours";
}
