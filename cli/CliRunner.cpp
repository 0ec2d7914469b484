#include "CliRunner.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
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
bool OpenInput(CImageDocument& doc, const std::string& input, std::istream& in, std::ostream& err) {
    FileStatus status = FileStatus::Ok;
    errno = 0;
    if (input == kStandardStream) {
        std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
        CMemoryStream stream(std::move(bytes));
        status = in.bad() ? FileStatus::ReadError : doc.Open(stream);
    } else {
        status = doc.Open(input);
    }
    const int error = errno;
    if (status == FileStatus::Ok) return true;
    const std::string& problem = doc.GetFileInfo().problem;
    // A refused BMP file has been explained by the engine already.
    if (!problem.empty() || status != FileStatus::Refused)
        err << MessagePrefix(InputLabel(input)) << FileFailure(status, error, problem) << '\n';
    return false;
}

// Writes the result to the job's target, standard output included.
bool SaveResult(CImageDocument& doc, const CliJob& job, std::ostream& out, std::ostream& err) {
    std::string problem;
    FileStatus status = FileStatus::Ok;
    errno = 0;
    if (job.target == kStandardStream) {
        CMemoryStream bytes;
        status = WritePicture(*doc.GetImage(), bytes, job.format, problem);
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
    outcome.ok = job.input.empty() || OpenInput(doc, job.input, in, err);
    if (outcome.ok && !batch.folder.empty() && job.target.empty()) {
        // Its first bytes were unreadable a moment ago; name it as it reads now.
        job.format = batch.format.value_or(KeptFormat(doc.GetFileInfo().format));
        job.target = FolderTarget(batch.folder, job.subfolder, job.input, job.format);
    }
    CliContext context{doc, out, job.input, batch.several, rows, plan.histogramSize};
    for (std::size_t i = 0; outcome.ok && i < plan.steps.size(); ++i) {
        const CliStep& step = plan.steps[i];
        doc.SetUndoCopies(step.keepsUndoCopy);
        if (!StepCanRun(doc, step.operation->needs)) {
            err << prefix << step.operation->flag << ": needs an 8-bit picture with 256 colours";
            if (step.operation->fillsTable)
                err << " (add --grey before " << step.operation->flag << " to measure grey levels)";
            err << '\n';
            outcome.ok = false;
        } else if (!step.action(context)) {
            if (!step.operation->failureNote.empty())
                err << prefix << step.operation->flag << ": " << step.operation->failureNote
                    << '\n';
            outcome.ok = false;
        }
    }
    // Writing over the input says what of it the result does not keep.
    const bool replacesInput = outcome.ok && ReplacesInput(batch, job);
    if (outcome.ok && !job.target.empty() && !job.outputDone)
        outcome.ok = MakeSubfolder(batch, job, err) && SaveResult(doc, job, out, err);
    if (const std::string note = LossNote(doc.GetFileInfo().losses);
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
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        kept += jobs[i].keptRows ? 1 : 0;
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
    return FinishOutput(out, err, failures == 0 && tableProblem.empty() ? kExitOk : kExitFailed);
}
