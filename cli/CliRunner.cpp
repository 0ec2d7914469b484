#include "CliRunner.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <thread>

#include "BatchProgress.h"
#include "CliPlan.h"
#include "KernelCatalogue.h"
#include "Message.h"

namespace {

constexpr int kExitOk = 0, kExitFailed = 1, kExitUsage = 2;

// One kernel a line, tab-separated: the key as --filter takes it (without
// its final space), the side, the description.
void PrintFilters(std::ostream& out) {
    for (const CKernelEntry& entry : GetKernelCatalogue()) {
        std::string key = entry.key;
        if (!key.empty() && key.back() == ' ') key.pop_back();
        out << key << '\t' << entry.size << '\t' << entry.description << '\n';
    }
}

void PrintHelp(std::ostream& out) {
    out << "Usage: orvex-cli [INPUT.bmp ... | --uniform W,H,LEVEL] [OPERATION ...] [-o OUTPUT]\n\n"
           "Operations and reports run left to right, as the desktop commands do.\n"
           "--recipe FILE runs the operations of FILE, one a line (# comments), in place.\n"
           "One input: -o names the output file. Several inputs: -o names an existing folder.\n"
           "Exit status: 0 success, 1 an operation or a file failed, 2 usage error.\n\n"
           "  --list-filters                the catalogue kernels: key, size, description\n"
           "  --version                     the program's version\n";
    for (const CliOperation& op : CliOperations()) {
        std::string head = op.flag + (op.argument.empty() ? "" : " " + op.argument);
        head.resize(std::max<std::size_t>(head.size() + 2, 30), ' ');
        out << "  " << head << op.help << '\n';
    }
}

const char* FileStatusText(FileStatus status) {
    switch (status) {
        case FileStatus::CannotOpen:
            return "cannot open the file";
        case FileStatus::ReadError:
            return "error while reading";
        case FileStatus::WriteError:
            return "error while writing";
        case FileStatus::Refused:
            return "not a picture that can be read or written";
        case FileStatus::UnknownFormat:
            return "not a picture in a format orvex-cli reads (BMP, PNG, TIFF, JPEG, PGM/PPM)";
        case FileStatus::Damaged:
            return "damaged picture file";
        default:
            return "";
    }
}

struct FileOutcome {
    std::string out;
    std::string err;
    bool ok = true;
};

// Runs the whole plan on one input (empty for a picture made with --uniform)
// and writes the result to `target` when it is not empty.
FileOutcome Process(const CliPlan& plan, const std::string& input, const std::string& target) {
    FileOutcome outcome;
    std::ostringstream out, err;
    const std::string prefix = input.empty() ? "" : input + ": ";
    CScopedMessageSink sink([&](const std::string& text) { err << prefix << text << '\n'; });
    CImageDocument doc;
    if (!input.empty()) {
        const FileStatus status = doc.Open(input);
        if (status != FileStatus::Ok) {
            const std::string& problem = doc.GetFileInfo().problem;
            if (!problem.empty())
                err << prefix << problem << '\n';
            else if (status != FileStatus::Refused)
                err << prefix << FileStatusText(status) << '\n';
            outcome.ok = false;
        }
    }
    CliContext context{doc, out};
    for (std::size_t i = 0; outcome.ok && i < plan.steps.size(); ++i) {
        const CliStep& step = plan.steps[i];
        doc.SetUndoCopies(step.keepsUndoCopy);
        if (!StepCanRun(doc, step.operation->needs)) {
            err << prefix << step.operation->flag << ": needs an 8-bit picture with 256 colours\n";
            outcome.ok = false;
        } else if (!step.action(context)) {
            outcome.ok = false;
        }
    }
    if (outcome.ok && !target.empty()) {
        const FileStatus status = doc.Save(target);
        const int error = errno;
        if (status == FileStatus::Refused) {
            err << target << ": "
                << "Couldn't save Bitmap Image : this file is not a valid one\n";
            outcome.ok = false;
        } else if (status == FileStatus::CannotOpen && error != 0) {
            // The system's reason, such as a file or folder the user may not write.
            err << target << ": " << std::strerror(error) << '\n';
            outcome.ok = false;
        } else if (status != FileStatus::Ok) {
            err << target << ": " << FileStatusText(status) << '\n';
            outcome.ok = false;
        }
    }
    outcome.out = out.str();
    outcome.err = err.str();
    return outcome;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           bool progress) {
    CliPlan plan;
    if (const std::string problem = ReadPlan(args, plan); !problem.empty()) {
        err << problem << '\n';
        return kExitUsage;
    }
    if (plan.ReportOnly()) {
        if (plan.version) out << "orvex-cli " << ORVEX_VERSION << '\n';
        if (plan.help) PrintHelp(out);
        if (plan.listFilters) PrintFilters(out);
        return kExitOk;
    }

    std::vector<std::string> inputs = plan.inputs;
    if (inputs.empty()) inputs.push_back("");
    std::vector<std::string> targets(inputs.size());
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        if (plan.output.empty()) continue;
        targets[i] =
            inputs.size() == 1
                ? plan.output
                : (std::filesystem::path(plan.output) / std::filesystem::path(inputs[i]).filename())
                      .string();
    }

    // Files are independent: process them on all cores, report in input order.
    std::vector<FileOutcome> outcomes(inputs.size());
    CBatchProgress meter(err, inputs.size(), progress && inputs.size() > 1);
    std::atomic<std::size_t> next{0};
    auto worker = [&] {
        for (std::size_t i; (i = next++) < inputs.size();) {
            outcomes[i] = Process(plan, inputs[i], targets[i]);
            meter.FileDone(outcomes[i].ok);
        }
    };
    const std::size_t threads =
        std::min<std::size_t>(inputs.size(), std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::thread> pool;
    for (std::size_t t = 1; t < threads; ++t) pool.emplace_back(worker);
    worker();
    for (std::thread& t : pool) t.join();
    meter.Clear();

    std::size_t failures = 0;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        if (inputs.size() > 1 && !outcomes[i].out.empty()) out << "==> " << inputs[i] << " <==\n";
        out << outcomes[i].out;
        err << outcomes[i].err;
        failures += outcomes[i].ok ? 0 : 1;
    }
    const bool allOk = failures == 0;
    if (inputs.size() > 1 && !allOk)
        err << "orvex-cli: " << failures << " of " << inputs.size() << " files failed\n";
    return allOk ? kExitOk : kExitFailed;
}
