#include "PyPicture.h"

#include <array>
#include <cerrno>
#include <filesystem>
#include <limits>
#include <optional>
#include <span>

#include "FileReason.h"
#include "LevelRows.h"
#include "PaletteFile.h"
#include "PictureFormat.h"
#include "StepsBasic.h"
#include "StepsMeasure.h"

namespace {

const char* SampleKindName(SampleKind kind) {
    switch (kind) {
        case SampleKind::Signed:
            return "signed";
        case SampleKind::Float:
            return "float";
        default:
            return "unsigned";
    }
}

// A read-only array on memory that `keeper` keeps.
py::array ViewOn(const std::shared_ptr<CKeptBlock>& keeper, std::vector<py::ssize_t> shape,
                 std::vector<py::ssize_t> strides, const std::uint8_t* data) {
    auto* owner = new std::shared_ptr<CKeptBlock>(keeper);
    const py::capsule base(owner,
                           [](void* p) { delete static_cast<std::shared_ptr<CKeptBlock>*>(p); });
    py::array view(py::dtype::of<std::uint8_t>(), std::move(shape), std::move(strides), data, base);
    py::detail::array_proxy(view.ptr())->flags &= ~py::detail::npy_api::NPY_ARRAY_WRITEABLE_;
    return view;
}

}  // namespace

PaletteTables PaletteTablesOf(const py::object& palette) {
    const py::array array = py::array::ensure(palette);
    if (!array || !array.dtype().is(py::dtype::of<std::uint8_t>()) || array.ndim() != 2 ||
        array.shape(0) != 256 || array.shape(1) != 3)
        ThrowValue("a palette is a (256, 3) uint8 array of red, green and blue");
    const auto colours = array.unchecked<std::uint8_t, 2>();
    PaletteTables tables{};
    for (py::ssize_t i = 0; i < 256; ++i)
        for (py::ssize_t c = 0; c < 3; ++c) tables[c][i] = colours(i, c);
    return tables;
}

CPyPicture::~CPyPicture() {
    CImage& image = *doc_.GetImage();
    if (const auto keeper = views_.lock(); keeper && viewedBlock_ == image.GetHandle())
        keeper->block = image.ExchangeBlock(nullptr);
}

std::unique_ptr<CPyPicture> CPyPicture::Open(const std::string& path, int page) {
    if (page < 1) ThrowValue("page counts from 1");
    auto picture = std::make_unique<CPyPicture>();
    FileStatus status;
    int error;
    std::string said;
    {
        py::gil_scoped_release release;
        const CEngineMessages messages;
        errno = 0;
        status = picture->doc_.Open(path, SPageRange{page, page});
        error = errno;
        said = messages.Text("");
    }
    if (status != FileStatus::Ok) {
        const std::string& problem = picture->doc_.GetFileInfo().problem;
        // A refused BMP file is explained by the engine's own message.
        const bool engineSaid = problem.empty() && status == FileStatus::Refused && !said.empty();
        throw FileError(path + ": " + (engineSaid ? said : FileFailure(status, error, problem)),
                        path, SystemError(status, error));
    }
    picture->path_ = path;
    return picture;
}

std::unique_ptr<CPyPicture> CPyPicture::FromArray(const py::array& array,
                                                  const py::object& palette) {
    if (!array.dtype().is(py::dtype::of<std::uint8_t>()))
        ThrowValue("a picture is made of uint8 levels or colours, not " +
                   std::string(py::str(array.dtype())));
    const bool colour = array.ndim() == 3 && array.shape(2) == 3;
    if (array.ndim() != 2 && !colour)
        ThrowValue("a picture is a 2-D array of levels or an (h, w, 3) array of colours");
    if (colour && !palette.is_none()) ThrowValue("a colour picture takes no palette");
    const py::ssize_t height = array.shape(0), width = array.shape(1);
    constexpr py::ssize_t kLargest = std::numeric_limits<int>::max();
    if (width < 1 || height < 1 || width > kLargest || height > kLargest)
        ThrowValue("a picture is at least 1 x 1 pixels");
    std::optional<PaletteTables> tables;
    if (!palette.is_none()) tables = PaletteTablesOf(palette);
    const auto pixels = py::array_t<std::uint8_t, py::array::c_style>::ensure(array);
    const std::span<const std::uint8_t> bytes(pixels.data(),
                                              static_cast<std::size_t>(pixels.size()));

    auto picture = std::make_unique<CPyPicture>();
    std::string failure;
    {
        py::gil_scoped_release release;
        const CEngineMessages messages;
        const int w = static_cast<int>(width), h = static_cast<int>(height);
        HBLOCK block =
            colour ? CImage::CreatePictureBlock(w, h, 24) : CImage::CreateEmptyBlock(w, h, 0);
        if (!block) {
            failure = messages.Text("Create image : insuffisant memory");
        } else {
            picture->doc_.Adopt(std::move(block));
            CImage& image = *picture->doc_.GetImage();
            CopyRowsFromTop(image, bytes);
            if (tables)
                image.PaletteGradient((*tables)[0].data(), (*tables)[1].data(),
                                      (*tables)[2].data());
        }
    }
    if (!failure.empty()) throw OperationError(failure);
    return picture;
}

int CPyPicture::Width() {
    const std::lock_guard lock(mutex_);
    return doc_.GetImage()->GetWidth();
}

int CPyPicture::Height() {
    const std::lock_guard lock(mutex_);
    return doc_.GetImage()->GetHeight();
}

int CPyPicture::Bits() {
    const std::lock_guard lock(mutex_);
    return doc_.GetImage()->GetBitCount();
}

std::vector<std::string> CPyPicture::History() {
    const std::lock_guard lock(mutex_);
    return doc_.GetHistoryLines();
}

py::dict CPyPicture::Info() {
    const std::lock_guard lock(mutex_);
    const SPictureFileInfo& file = doc_.GetFileInfo();
    const SPictureLosses& losses = file.losses;
    py::dict info;
    info["format"] = path_.empty() ? py::object(py::none()) : py::str(FormatName(file.format));
    info["pages"] = losses.pages;
    info["sample_bits"] = losses.sampleBits;
    info["sample_kind"] = SampleKindName(losses.sampleKind);
    const CFileSamples* samples = doc_.GetSamples();
    info["sample_depth"] = samples ? py::object(py::str(samples->DepthName())) : py::none();
    // The window the levels come from now; the reader's once the samples are let go.
    const auto window = doc_.GetWindow();
    info["window"] = window ? py::object(py::make_tuple(window->first, window->second))
                     : losses.Deeper()
                         ? py::object(py::make_tuple(losses.windowLow, losses.windowHigh))
                         : py::object(py::none());
    info["alpha"] = losses.alpha;
    info["lossy"] = losses.lossy;
    info["colors"] = doc_.GetImage()->GetNumColors();
    info["notes"] = file.historyNotes;
    return info;
}

py::array CPyPicture::Levels() {
    std::shared_ptr<CKeptBlock> keeper;
    CStoredRows rows;
    {
        py::gil_scoped_release release;
        const std::lock_guard lock(mutex_);
        const CImage& image = *doc_.GetImage();
        rows = image.GetStoredRows();
        if (rows.bits != nullptr && (rows.bitCount == 8 || rows.bitCount == 24)) {
            keeper = views_.lock();
            if (!keeper || viewedBlock_ != image.GetHandle()) {
                keeper = std::make_shared<CKeptBlock>();
                views_ = keeper;
                viewedBlock_ = image.GetHandle();
            }
        }
    }
    if (!keeper)
        throw OperationError("levels: the picture has " + std::to_string(rows.bitCount) +
                             " bits a pixel; arrays are of 8-bit levels or 24-bit colours");
    const auto stride = static_cast<py::ssize_t>(rows.stride);
    const std::uint8_t* top = rows.Row(rows.height - 1);  // storage row 0 is the bottom line
    if (rows.bitCount == 8) return ViewOn(keeper, {rows.height, rows.width}, {-stride, 1}, top);
    // Blue, green, red in the block: red first with a step back.
    return ViewOn(keeper, {rows.height, rows.width, 3}, {-stride, 3, -1}, top + 2);
}

py::object CPyPicture::Values() {
    std::shared_ptr<const CFileSamples> samples;
    {
        py::gil_scoped_release release;
        const std::lock_guard lock(mutex_);
        samples = doc_.GetPages()[static_cast<std::size_t>(doc_.GetCurrentPage())].samples;
    }
    if (!samples) return py::none();
    const bool wide = samples->Wide();
    const SampleKind kind = samples->Kind();
    const py::dtype dtype = kind == SampleKind::Float    ? py::dtype::of<float>()
                            : kind == SampleKind::Signed ? (wide ? py::dtype::of<std::int32_t>()
                                                                 : py::dtype::of<std::int16_t>())
                            : wide                       ? py::dtype::of<std::uint32_t>()
                                                         : py::dtype::of<std::uint16_t>();
    const py::ssize_t size = wide ? 4 : 2, width = samples->Width();
    const void* data = wide ? static_cast<const void*>(samples->Row32(0))
                            : static_cast<const void*>(samples->Row16(0));
    auto* owner = new std::shared_ptr<const CFileSamples>(samples);
    const py::capsule base(
        owner, [](void* p) { delete static_cast<std::shared_ptr<const CFileSamples>*>(p); });
    py::array view(dtype, {static_cast<py::ssize_t>(samples->Height()), width},
                   {width * size, size}, data, base);
    py::detail::array_proxy(view.ptr())->flags &= ~py::detail::npy_api::NPY_ARRAY_WRITEABLE_;
    return view;
}

py::array CPyPicture::PaletteColours() {
    py::array_t<std::uint8_t> colours({256, 3});
    auto out = colours.mutable_unchecked<2>();
    const std::lock_guard lock(mutex_);
    const CPaletteTable& table = *doc_.GetImage()->GetPalette();
    for (py::ssize_t i = 0; i < 256; ++i) {
        const auto& e = table.entries[static_cast<std::size_t>(i)];
        const bool held = i < table.count;
        out(i, 0) = held ? e.red : 0;
        out(i, 1) = held ? e.green : 0;
        out(i, 2) = held ? e.blue : 0;
    }
    return colours;
}

void CPyPicture::SetLevels(const py::array& array) {
    if (!array.dtype().is(py::dtype::of<std::uint8_t>()) || array.ndim() != 2)
        ThrowValue("set_levels takes a 2-D uint8 array");
    const auto levels = py::array_t<std::uint8_t, py::array::c_style>::ensure(array);
    const int width = Width(), height = Height();
    if (array.shape(0) != height || array.shape(1) != width)
        ThrowValue("set_levels takes an array of the picture's shape (" + std::to_string(height) +
                   ", " + std::to_string(width) + ")");
    const std::span<const std::uint8_t> bytes(levels.data(),
                                              static_cast<std::size_t>(levels.size()));
    Run("set_levels", kStepNeeds<StepSetLevels>, true,
        [&](CImageDocument& doc) { return StepSetLevels(doc, bytes); });
}

void CPyPicture::SavePalette(const std::string& path) {
    CPaletteColors colors;
    {
        const std::lock_guard lock(mutex_);
        const CPaletteTable& table = *doc_.GetImage()->GetPalette();
        for (std::size_t i = 0; i < static_cast<std::size_t>(table.count); ++i) {
            colors.red[i] = table.entries[i].red;
            colors.green[i] = table.entries[i].green;
            colors.blue[i] = table.entries[i].blue;
        }
    }
    const CEngineMessages messages;
    if (!WithFileReason(path, "cannot be written", [&] { return WritePaletteFile(path, colors); }))
        throw FileError(messages.Text(path + ": cannot be written"));
}

void CPyPicture::Save(const std::string& path, const std::string& format) {
    const auto chosen =
        format.empty() ? WritableFormatFromPath(path) : WritableFormatFromName(format);
    if (!chosen)
        ThrowValue((format.empty() ? path + ": no format writes this extension"
                                   : "no format '" + format + "' is written") +
                   " (" + JoinWords(WrittenFormatNames(), ", ") + ")");
    FileStatus status;
    int error;
    std::string problem, said;
    {
        py::gil_scoped_release release;
        const std::lock_guard lock(mutex_);
        const CEngineMessages messages;
        errno = 0;
        status = doc_.Save(path, *chosen, problem);
        error = errno;
        said = messages.Text("");
    }
    if (status == FileStatus::Ok) return;
    if (status == FileStatus::Refused && problem.empty())
        problem = said.empty() ? "Couldn't save Bitmap Image : this file is not a valid one" : said;
    throw FileError(path + ": " + FileFailure(status, error, problem), path,
                    SystemError(status, error));
}

std::string CPyPicture::Recipe() {
    const std::lock_guard lock(mutex_);
    const std::string name =
        path_.empty() ? "recipe.txt" : std::filesystem::path(path_).stem().string() + ".txt";
    return doc_.GetRecipe().Format(name).recipe;
}

void CPyPicture::WriteRecipe(const std::string& path) {
    const std::lock_guard lock(mutex_);
    const CEngineMessages messages;
    errno = 0;
    if (!doc_.GetRecipe().Write(path))
        throw FileError(path + ": " +
                        (errno != 0 ? SystemReason(errno) : messages.Text("cannot be written")));
}

py::tuple CPyPicture::Roi() {
    const std::lock_guard lock(mutex_);
    const CImage& image = *doc_.GetImage();
    const CRect& r = image.GetRoi();
    const int height = image.GetHeight();
    // Kept in storage rows; given as displayed, row 0 at the top.
    return py::make_tuple(r.left, height - r.bottom, r.right, height - r.top);
}

void CPyPicture::SetRoi(std::optional<CRect> rect) {
    const std::lock_guard lock(mutex_);
    const CEngineMessages messages;
    CImage& image = *doc_.GetImage();
    if (!(rect ? image.SetRoi(*rect) : image.SetDefaultRoi()))
        ThrowValue(messages.Text("roi: the region is not inside the picture"));
}

CMeasureRow CPyPicture::Measure(bool histogram) {
    CMeasureRow row;
    Read("measure", kStepNeeds<StepMeasure>, [&](CImageDocument& doc) {
        row.file = path_;
        return StepMeasure(doc, histogram, row);
    });
    return row;
}

std::vector<std::uint32_t> CPyPicture::Histogram() {
    std::vector<std::uint32_t> counts;
    Read("histogram", StepNeeds::FullPalette, [&](CImageDocument& doc) {
        CImage& image = *doc.GetImage();
        if (!image.GenerateHistogram()) return false;
        for (int level = 0; level < 256; ++level)
            counts.push_back(static_cast<std::uint32_t>(image.GetHistogramValue(level)));
        return true;
    });
    return counts;
}

std::string CPyPicture::RunLocked(const char* name, StepNeeds needs, bool undo, bool changes,
                                  const std::function<bool()>& step) {
    if (!StepCanRun(doc_, needs)) return std::string(name) + ": needs " + StepNeedWords(needs);
    if (changes) LetViewsKeepBlock();
    const CEngineMessages messages;
    doc_.SetUndoCopies(undo);
    const bool done = step();
    doc_.SetUndoCopies(true);
    if (done) return {};
    return messages.Text(std::string(name) + " failed");
}

void CPyPicture::LetViewsKeepBlock() {
    const std::shared_ptr<CKeptBlock> keeper = views_.lock();
    CImage& image = *doc_.GetImage();
    if (keeper && viewedBlock_ == image.GetHandle()) {
        HBLOCK copy = CImage::CopyBlock(image.GetHandle());
        if (!copy) throw std::bad_alloc();
        keeper->block = image.ExchangeBlock(std::move(copy));
    }
    views_.reset();
}
