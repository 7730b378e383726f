#include "office/archiver.hpp"

#include <algorithm>
#include <filesystem>

#include "common/globals.hpp"
#include "common/paths.hpp"
#include "runtime/core/text.hpp"
#include "runtime/os/process.hpp"

namespace qv::office {

namespace fs = std::filesystem;

namespace {

std::string& command_slot() {
    static std::string command = "7z";
    return command;
}

// "IMPnn12.DBF" whatever the case.
bool is_declaration_file(const std::string& name) {
    const std::string up = rt::UPPER(name);
    return up.size() == 11 && up.compare(0, 3, "IMP") == 0 && up.compare(5, 6, "12.DBF") == 0 &&
           std::isdigit(static_cast<unsigned char>(up[3])) && std::isdigit(static_cast<unsigned char>(up[4]));
}

// The archiver is another program: it gets every name in the file
// system's characters, as the program's own opens do.
std::string os_name(const std::string& cp850_name) { return common::fs_path(cp850_name).string(); }

ArchiverOutcome run(const std::vector<std::string>& argv) {
    const auto result = rt::os::run_capture(argv, true);
    if (!result) return ArchiverOutcome::NotStarted;
    // A shell that cannot find the program answers 127.
    if (result->status == 127) return ArchiverOutcome::NotStarted;
    return result->status == 0 ? ArchiverOutcome::Done : ArchiverOutcome::Failed;
}

}  // namespace

Archiver chosen_archiver() {
    return common::Global("PROGCOMP").text("S") == "N" ? Archiver::Ice : Archiver::SevenZip;
}

std::string archive_file(Archiver a) { return a == Archiver::Ice ? "IMPZIP12.ICE" : "IMPZIP12.zip"; }

std::vector<std::string> declaration_files(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(common::fs_path(folder), ec)) {
        const std::string name = e.path().filename().string();
        if (e.is_regular_file(ec) && is_declaration_file(name)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

ArchiverOutcome pack_folder(const std::string& archive, const std::string& folder,
                            const std::vector<std::string>& files) {
    // An archiver given no file packs the folder it runs in instead.
    if (files.empty()) return ArchiverOutcome::Failed;
    const std::string beside = os_name(archive + ".new");
    std::error_code ec;
    fs::remove(beside, ec);
    std::vector<std::string> argv{archiver_command(), "a", "-tzip", "-y", beside};
    for (const std::string& f : files) argv.push_back(os_name(folder + f));
    const ArchiverOutcome outcome = run(argv);
    if (outcome != ArchiverOutcome::Done || !fs::is_regular_file(beside, ec)) {
        fs::remove(beside, ec);
        return outcome == ArchiverOutcome::Done ? ArchiverOutcome::Failed : outcome;
    }
    fs::rename(beside, os_name(archive), ec);
    return ec ? ArchiverOutcome::Failed : ArchiverOutcome::Done;
}

ArchiverOutcome unpack_into(const std::string& archive, const std::string& folder) {
    // Unpacked beside, then each table renamed into place: a failed run
    // leaves the folder's tables as they were.
    const std::string beside_name = folder + "~restauro/";
    const std::string beside = os_name(beside_name);
    std::error_code ec;
    fs::remove_all(beside, ec);
    const ArchiverOutcome outcome = run({archiver_command(), "x", "-y", os_name(archive), "-o" + beside, "-aoa"});
    if (outcome == ArchiverOutcome::Done) {
        for (const std::string& name : declaration_files(beside_name)) {
            fs::rename(beside + name, os_name(folder + name), ec);
            if (ec) break;
        }
    }
    fs::remove_all(beside, ec);
    if (outcome == ArchiverOutcome::Done && ec) return ArchiverOutcome::Failed;
    return outcome;
}

void set_archiver_command(std::string command) { command_slot() = command.empty() ? "7z" : std::move(command); }
const std::string& archiver_command() { return command_slot(); }

}  // namespace qv::office
