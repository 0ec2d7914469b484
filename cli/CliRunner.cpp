#include "CliRunner.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <sstream>
#include <thread>

#include "BatchProgress.h"
#include "CliBatch.h"
#include "CliHelp.h"
#include "CliPlan.h"
#include "FileReason.h"
#include "LossNote.h"
#include "Message.h"
#include "Parallel.h"
#include "StepsStack.h"
#include "SystemOutput.h"
#include "TableOutput.h"
#include "Utf8Text.h"

namespace {

constexpr int kExitOk = 0, kExitFailed = 1, kExitUsage = 2;

// What was printed must have arrived: a full disk or a closed pipe on
// standard output is a failure like any other.
int FinishOutput(std::ostream& out, std::ostream& err, int status) {
    out.flush();
    if (out) return status;
    const auto* system = dynamic_cast<const CSystemOutput*>(out.rdbuf());
    const int error = system != nullptr ? system->Error() : 0;
    err << "orvex-cli: standard output: "
        << (error != 0 ? SystemReason(error) : std::string("error while writing")) << '\n';
    return kExitFailed;
}

// Every line on standard error starts with the program's name, then the
// file it is about.
std::string MessagePrefix(const std::string& file) {
    return "orvex-cli: " + (file.empty() ? "" : file + ": ");
}

std::string InputLabel(const std::string& input) {
    return input == kStandardStream ? "standard input" : input;
}

// Reads the job's input into `doc`; false with the reason on `err`.
bool OpenInput(CImageDocument& doc, const std::string& input, SPageRange pages, std::istream& in,
               std::ostream& err) {
    FileStatus status = FileStatus::Ok;
    errno = 0;
    if (input == kStandardStream) {
        std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
        CMemoryStream stream(std::move(bytes));
        status = in.bad() ? FileStatus::ReadError : doc.Open(stream, pages);
    } else {
        status = doc.Open(input, pages);
    }
    const int error = errno;
    if (status == FileStatus::Ok) {
        if (!doc.GetFileInfo().stackNote.empty())
            err << MessagePrefix(InputLabel(input)) << doc.GetFileInfo().stackNote << '\n';
        return true;
    }
    const std::string& problem = doc.GetFileInfo().problem;
    // A refused BMP file has been explained by the engine already.
    if (!problem.empty() || status != FileStatus::Refused)
        err << MessagePrefix(InputLabel(input)) << FileFailure(status, error, problem) << '\n';
    return false;
}

// The first page of each picture --stack-from names, assembled into the
// document's stack; false with the reason on `err`.
bool OpenStack(CImageDocument& doc, const std::string& from, std::ostream& err) {
    std::vector<std::string> paths;
    if (std::string problem = StackInputs(from, paths); !problem.empty()) {
        err << problem << '\n';
        return false;
    }
    std::vector<SPicturePage> pictures;
    for (const std::string& path : paths) {
        CImageDocument one;
        if (!OpenInput(one, path, {}, std::cin, err)) return false;
        pictures.push_back(one.RemovePage(0));
    }
    return StepAssemble(doc, std::move(pictures));
}

// Runs one operation on the pages it goes through.
bool RunOperation(const CliStep& step, CliContext& c) {
    CImageDocument& doc = c.doc;
    const CliOperation& op = *step.operation;
    if (op.pages == CliPageUse::Stack) return step.action(c);
    if (op.pages == CliPageUse::Each)
        return doc.RunOnPages(c.allPages, [&](CImageDocument& page) {
            CliContext onPage{page, c.out, c.input, c.intoFolder, c.rows, c.plotSize};
            return step.action(onPage);
        });
    const int current = doc.GetCurrentPage();
    const int first = c.allPages ? 0 : current,
              last = c.allPages ? doc.GetPageCount() : current + 1;
    bool ok = true;
    for (int i = first; ok && i < last; ++i) {
        doc.SetCurrentPage(i);
        if (op.report && doc.GetPageCount() > 1)
            c.out << "page: " << doc.GetPages()[static_cast<std::size_t>(i)].number << '\n';
        ok = step.action(c);
    }
    doc.SetCurrentPage(current);
    return ok;
}

// A stack of several pages goes only into a format that holds pages.
bool FitsTarget(const CImageDocument& doc, const CliJob& job, std::ostream& err) {
    if (doc.GetPageCount() == 1 || job.target.empty() || FormatHoldsPages(job.format)) return true;
    const std::string label = job.target == kStandardStream ? "standard output" : job.target;
    err << MessagePrefix(label) << FormatName(job.format) << " files hold one page, and "
        << doc.GetPageCount() << " pages were chosen: write "
        << JoinWords(PagesExtensions(), " or ") << ", or choose one page (--pages K, --project)\n";
    return false;
}

// Writes the result to the job's target, standard output included.
bool SaveResult(CImageDocument& doc, const CliJob& job, bool keepDepth, std::ostream& out,
                std::ostream& err) {
    std::string problem;
    FileStatus status = FileStatus::Ok;
    errno = 0;
    if (keepDepth && !(problem = doc.SamplesRefusal(job.format)).empty()) {
        status = FileStatus::Refused;
    } else if (keepDepth && job.target != kStandardStream) {
        status = doc.SaveSamples(job.target, job.format, problem);
    } else if (job.target == kStandardStream) {
        CMemoryStream bytes;
        status = keepDepth ? WriteSamples(*doc.GetSamples(), bytes, job.format, problem)
                           : WritePicture(doc.GetPages(), bytes, job.format, problem);
        if (status == FileStatus::Ok)
            out.write(reinterpret_cast<const char*>(bytes.Bytes().data()),
                      static_cast<std::streamsize>(bytes.Bytes().size()));
    } else {
        status = doc.Save(job.target, job.format, problem);
    }
    const int error = errno;
    if (status == FileStatus::Ok) return true;
    const std::string label = job.target == kStandardStream ? "standard output" : job.target;
    if (status == FileStatus::Refused && problem.empty())
        problem = "Couldn't save Bitmap Image : this file is not a valid one";
    err << MessagePrefix(label) << FileFailure(status, error, problem) << '\n';
    return false;
}

// What a failed file's row says: its last message, without the program's
// name and the input's, as standard error has it.
std::string FailureReason(const std::string& err, const std::string& input) {
    std::string line = err;
    while (!line.empty() && line.back() == '\n') line.pop_back();
    line.erase(0, line.rfind('\n') + 1);
    for (const std::string& prefix : {std::string("orvex-cli: "), InputLabel(input) + ": "})
        if (line.rfind(prefix, 0) == 0) line.erase(0, prefix.size());
    return line.empty() ? "failed" : line;
}

// --jobs for the length of a run: the files processed at once and the
// engine's threads on each picture.
class CWorkerCountSetting {
public:
    explicit CWorkerCountSetting(std::optional<int> jobs) : previous_(GetWorkerCount()) {
        if (jobs) SetWorkerCount(*jobs);
    }
    ~CWorkerCountSetting() { SetWorkerCount(previous_); }
    CWorkerCountSetting(const CWorkerCountSetting&) = delete;
    CWorkerCountSetting& operator=(const CWorkerCountSetting&) = delete;

private:
    int previous_;
};

struct FileOutcome {
    std::string out;
    std::string err;
    bool ok = true;
    bool usage = false;  // asked for what cannot be written (exit 2 for one input)
};

// Whether the job's one output file is its own input file.
bool ReplacesInput(const CliBatch& batch, const CliJob& job) {
    if (!batch.folder.empty() || job.input.empty() || job.input == kStandardStream ||
        job.target.empty() || job.target == kStandardStream)
        return false;
    std::error_code ec;
    return std::filesystem::equivalent(job.input, job.target, ec);
}

// The subfolder of the batch's folder a result of --recursive goes into,
// made when it is not there yet.
bool MakeSubfolder(const CliBatch& batch, const CliJob& job, std::ostream& err) {
    if (job.subfolder.empty()) return true;
    const std::filesystem::path folder = std::filesystem::path(batch.folder) / job.subfolder;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) err << MessagePrefix(folder.string()) << SystemReason(ec.value()) << '\n';
    return !ec;
}

// Runs the whole plan on one job's input and writes its result; the rows
// it measures go to `rows`.
FileOutcome Process(const CliPlan& plan, const CliBatch& batch, CliJob job, std::istream& in,
                    CliRows& rows) {
    FileOutcome outcome;
    std::ostringstream out, err;
    const std::string prefix = MessagePrefix(InputLabel(job.input));
    CScopedMessageSink sink([&](const std::string& text) { err << prefix << text << '\n'; });
    CImageDocument doc;
    outcome.ok = job.input.empty() || (job.stack ? OpenStack(doc, job.input, err)
                                                 : OpenInput(doc, job.input, plan.pages, in, err));
    if (outcome.ok && !batch.folder.empty() && job.target.empty()) {
        // Its first bytes were unreadable a moment ago; name it as it reads now.
        job.format = batch.format.value_or(KeptFormat(doc.GetFileInfo().format));
        job.target = FolderTarget(batch.folder, job.subfolder, job.input, job.format);
    }
    if (outcome.ok && !plan.MakesOnePage() && !FitsTarget(doc, job, err))
        outcome.ok = false, outcome.usage = true;
    CliContext context{doc, out, job.input, batch.several, rows, plan.histogramSize};
    for (std::size_t i = 0; outcome.ok && i < plan.steps.size(); ++i) {
        const CliStep& step = plan.steps[i];
        doc.SetUndoCopies(step.keepsUndoCopy);
        if (!StepCanRun(doc, step.operation->needs)) {
            err << prefix << step.operation->flag << ": needs "
                << StepNeedWords(step.operation->needs);
            if (step.operation->fillsTable)
                err << " (add --grey before " << step.operation->flag << " to measure grey levels)";
            err << '\n';
            outcome.ok = false;
        } else if (!RunOperation(step, context)) {
            if (!step.operation->failureNote.empty())
                err << prefix << step.operation->flag << ": " << step.operation->failureNote
                    << '\n';
            outcome.ok = false;
        }
    }
    // Writing over the input says what of it the result does not keep.
    const bool replacesInput = outcome.ok && ReplacesInput(batch, job);
    if (outcome.ok && !job.target.empty() && !job.outputDone)
        outcome.ok = FitsTarget(doc, job, err) && MakeSubfolder(batch, job, err) &&
                     SaveResult(doc, job, plan.keepDepth, out, err);
    SPictureLosses losses = doc.GetFileInfo().losses;
    losses.pagesKept = doc.GetPageCount();
    if (const std::string note = LossNote(losses, doc.GetPages().front().number);
        outcome.ok && replacesInput && !note.empty())
        err << prefix << note << '\n';
    outcome.out = out.str();
    outcome.err = err.str();
    return outcome;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, bool progress) {
    CliPlan plan;
    if (const std::string problem = ReadPlan(args, plan); !problem.empty()) {
        err << problem << '\n';
        return kExitUsage;
    }
    if (plan.ReportOnly()) {
        if (plan.version) out << "orvex-cli " << ORVEX_VERSION << '\n';
        if (plan.help) PrintHelp(out);
        if (plan.listFilters) PrintFilters(out);
        return FinishOutput(out, err, kExitOk);
    }
    // A resumed run takes the rows of the files it leaves out from the table
    // it makes again.
    const bool resume = plan.skipExisting && plan.Measures() && plan.table != kStandardStream;
    CTableRows tableRows;
    if (resume) tableRows.Load(plan.table, TableLayout(plan));
    const CWorkerCountSetting workers(plan.jobs);
    CliBatch batch;
    if (const std::string problem = PlanBatch(plan, in, batch, resume ? &tableRows : nullptr);
        !problem.empty()) {
        err << problem << '\n';
        return kExitUsage;
    }

    // Files are independent: process them on all cores, report in input order.
    const std::vector<CliJob>& jobs = batch.jobs;
    const bool several = batch.several;
    CTableOutput table;
    if (plan.Measures())
        if (const std::string problem = table.Open(plan, out, resume); !problem.empty()) {
            err << problem << '\n';
            return kExitUsage;
        }
    std::vector<FileOutcome> outcomes(jobs.size());
    CBatchProgress meter(err, jobs.size(), progress && several);
    std::atomic<std::size_t> next{0};
    auto worker = [&] {
        for (std::size_t i; (i = next++) < jobs.size();) {
            if (jobs[i].keptRows) {
                table.Deliver(i, jobs[i].input, *jobs[i].keptRows, false);
                meter.FileDone(true);
                continue;
            }
            CliRows rows{table.Layout()};
            outcomes[i] = Process(plan, batch, jobs[i], in, rows);
            if (rows.table != nullptr) {
                if (!outcomes[i].ok)
                    rows.text += rows.table->Row(FailedMeasureRow(
                        jobs[i].input, FailureReason(outcomes[i].err, jobs[i].input)));
                if (!IsValidUtf8(jobs[i].input))
                    outcomes[i].err.insert(0, MessagePrefix(jobs[i].input) +
                                                  "the name is not valid UTF-8: the table "
                                                  "shows U+FFFD for the bytes that are not\n");
                table.Deliver(i, jobs[i].input, std::move(rows.text), outcomes[i].ok);
            }
            meter.FileDone(outcomes[i].ok);
        }
    };
    const std::size_t threads = std::min<std::size_t>(jobs.size(), GetWorkerCount());
    std::vector<std::thread> pool;
    for (std::size_t t = 1; t < threads; ++t) pool.emplace_back(worker);
    worker();
    for (std::thread& t : pool) t.join();
    meter.Clear();

    std::size_t failures = 0, kept = 0;
    bool usage = false;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        kept += jobs[i].keptRows ? 1 : 0;
        usage = usage || outcomes[i].usage;
        if (several && !outcomes[i].out.empty()) out << "==> " << jobs[i].input << " <==\n";
        out << outcomes[i].out;
        err << outcomes[i].err;
        failures += outcomes[i].ok ? 0 : 1;
    }
    const std::string tableProblem = plan.Measures() ? table.Finish() : std::string{};
    if (!tableProblem.empty()) err << tableProblem << '\n';
    // A job of a batch ends with its counts, so a scheduler's log tells how far it got.
    if ((several && failures > 0) || plan.FromList() || plan.skipExisting || batch.fromFolder) {
        err << "orvex-cli: " << batch.files << (batch.files == 1 ? " file: " : " files: ")
            << jobs.size() - kept - failures << " done, " << batch.skipped << " skipped, "
            << failures << " failed";
        if (batch.notPictures > 0)
            err << ", " << batch.notPictures
                << (batch.notPictures == 1 ? " not a picture" : " not pictures");
        err << '\n';
    }
    if (usage && !several) return FinishOutput(out, err, kExitUsage);
    return FinishOutput(out, err, failures == 0 && tableProblem.empty() ? kExitOk : kExitFailed);
}
