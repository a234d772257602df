#include "window/form1.h"

#include "engine/folder_identity.h"
#include "engine/path_text.h"
#include "services/failure_log.h"
#include "services/launcher.h"
#include "window/error_trap.h"
#include "window/layout.h"

#include <algorithm>

namespace vorlund {
namespace {

const std::string MediaPattern = "*.mp3;*.wma;*.mpg;*.zip;*.jpg;*.gif";
const std::string PartialPattern = "*.dat";
const std::string SettingsApplication = "vlund";
const std::string SettingsSection = "Startup";

} // namespace

Form1::Form1(Form1Controls controls, Form1Services services)
    : m_window(controls.window), Drive1(controls.Drive1), Drive2(controls.Drive2),
      Dir1(controls.Dir1), Dir2(controls.Dir2), Text1(controls.Text1), Text2(controls.Text2),
      m_services(std::move(services)), m_mover(*m_services.fileOps), m_pass(m_mover)
{
    Dir1.Change.connect([this] { runSelectionHandler(Download, &Form1::Dir1_Change); });
    Dir2.Change.connect([this] { runSelectionHandler(Destination, &Form1::Dir2_Change); });
    Drive1.Change.connect([this] { runSelectionHandler(Download, &Form1::Drive1_Change); });
    Drive2.Change.connect([this] { runSelectionHandler(Destination, &Form1::Drive2_Change); });
}

Form1::~Form1()
{
    m_pass.stop();
    for (ChangeEvent* event : {&Dir1.Change, &Dir2.Change, &Drive1.Change, &Drive2.Change})
        event->connect(nullptr);
}

// The drives' handlers store the folder each drive opens on before the stored folders are restored:
// stored at once, a crash in between would leave that folder for the user's choice at the next
// start. Start-up's writes are kept until it is done, and only what changed is stored then.
void Form1::Form_Load()
{
    std::string storedDir1;
    std::string storedDir2;
    m_loadWrites.emplace();
    try {
        resumeNext([&] { storedDir1 = GetSetting("Dir1", ""); });
        resumeNext([&] { storedDir2 = GetSetting("Dir2", ""); });
        resumeNext([&] { Drive1.setDrive(GetSetting("Drive1", "C:\\")); });
        resumeNext([&] { Drive2.setDrive(GetSetting("Drive2", "C:\\")); });
        resumeNext([&] { Dir1.setPath(storedDir1); });
        resumeNext([&] { Dir2.setPath(storedDir2); });
        holdMovesUntilTheFoldersAreChosen(storedDir1, storedDir2);
    } catch (...) {
        storeLoadWrites();
        throw;
    }
    storeLoadWrites();
    rememberMountPoint(Download);
    rememberMountPoint(Destination);
    resumeNext([&] { File1.setPath(Dir1.Path()); });
    resumeNext([&] { File1.setPattern(MediaPattern); });
    resumeNext([&] { File2.setPattern(MediaPattern); });
    resumeNext([&] { File3.setPattern(PartialPattern); });
    ClientTitle = m_services.client.title;
    ClientPath = m_services.client.path;
    resumeNext([&] {
        if (IsTaskRunning(ClientTitle, m_services.msgBox))
            return;
        // Nothing is shown when the client cannot start, but the reason is not lost.
        try {
            startProgram(pathFromText(ClientPath), WindowStyle::MinimizedFocus);
        } catch (const RuntimeError& error) {
            logFailure(error.description());
            throw;
        }
    });
}

// Step 1 here; the rest reads the folders, so it runs on the listing thread, with the folders
// the lists showed at the tick: a folder of 100,000 files never holds the window.
void Form1::Timer1_Timer()
{
    m_window.setCaption("Vorlund " + m_services.presentDate());
    const PassFolders folders{Dir1.Path(), Dir2.Path(),
                              !m_holds[Download].empty() || !m_holds[Destination].empty(),
                              m_mountPoints, m_volumes};
    PassRunner::Events events;
    events.progress = [this](const MoveJob& job, std::uintmax_t copied, std::uintmax_t total) {
        m_window.post([=, this, file = job.source] { showProgress(file, copied, total); });
    };
    events.failed = [this](const RuntimeError& error) {
        m_window.post([this, text = error.description()] { report(text); });
    };
    events.finished = [this] { m_window.post([this] { endPass(); }); };
    m_pass.start(std::move(events), [this, folders] { listAndMove(folders); });
}

// An error that no trap catches ends the pass, is reported, and the program goes on. A file that
// cannot be moved stays for the next pass and does not hold back the others.
void Form1::listAndMove(const PassFolders& folders)
{
    try {
        for (const std::filesystem::path& mountPoint : folders.mountPoints) {
            if (!mountPoint.empty() && !isMountPoint(mountPoint))
                throw RuntimeError(ErrorNumber::PathNotFound,
                                   "the volume at '" + pathText(mountPoint) +
                                       "' is not there: nothing moves until it is back");
        }
        // File2 and File3 are read as they are pointed at this pass's folders: refreshed at the
        // folders of the pass before, a folder gone since would end every pass.
        File1.Refresh();
        File2.setPath(folders.destination);
        show(Text2, filesMovedText(File2.ListCount()));
        File3.setPath(folders.download);
        show(Text1, downloadsInProgressText(File3.ListCount()));

        // One folder under two spellings: moving would only shuffle files within it. A pass
        // with nothing to move looks no further: a copy that a crash cut off left its source.
        if (!folders.held && File1.ListCount() > 0 &&
            !sameDirectory(folders.download, folders.destination)) {
            refuseAnotherVolume(folders);
            m_mover.endInterruptedCopies(folders.destination, folders.download);
            for (int i = 0, n = File1.ListCount(); i < n; ++i) {
                File1.setListIndex(i);
                m_pass.add({joinFsPath(folders.download, File1.FileName()),
                            joinFsPath(folders.destination, File1.FileName())});
            }
        }
    } catch (const std::exception& error) {
        const auto* raised = dynamic_cast<const RuntimeError*>(&error);
        m_window.post([this, text = raised ? raised->description() : error.what()] {
            report(text);
            showFailures();
        });
    }
    m_pass.close();
}

void Form1::startPassUnlessOneRuns()
{
    // Each pass is one round of the failure report: what a pass no longer meets has cleared. A
    // pass lasts until its moves ended; the ticks till then only keep the caption's time.
    if (m_passRunning) {
        m_window.setCaption("Vorlund " + m_services.presentDate());
        return;
    }
    m_passRunning = true;
    m_window.lockSelections(true);
    m_passFailures.beginRound();
    Timer1_Timer();
}

void Form1::show(TextBox& box, std::string text)
{
    m_window.post([&box, text = std::move(text)] { box.setText(text); });
}

// The next pass, and the lists until then, see the folders as they are then.
void Form1::endPass()
{
    folderReads().forget();
    m_passFailures.endRound();
    m_window.showProgress("");
    showFailures();
    m_window.lockSelections(false);
    m_passRunning = false;
}

void Form1::showProgress(const std::filesystem::path& file, std::uintmax_t copied,
                         std::uintmax_t total)
{
    const auto percent = total == 0 ? 100 : copied * 100 / total;
    m_window.showProgress("Moving " + pathText(file.filename()) + ": " + std::to_string(percent) +
                          " %");
}

void Form1::Form_Unload()
{
    m_pass.stop();
}

void Form1::Dir1_Change()
{
    resumeNext([&] { SaveSetting("Dir1", pathText(Dir1.Path())); });
    resumeNext([&] { File1.setPath(Dir1.Path()); });
}

void Form1::Dir2_Change()
{
    resumeNext([&] { SaveSetting("Dir2", pathText(Dir2.Path())); });
}

void Form1::Drive1_Change()
{
    Dir1.setPath(Drive1.Drive());
    File1.setPath(Dir1.Path());
    SaveSetting("Drive1", Drive1.Drive());
}

void Form1::Drive2_Change()
{
    Dir2.setPath(Drive2.Drive());
    SaveSetting("Drive2", Drive2.Drive());
}

std::string Form1::GetSetting(const std::string& key, const std::string& defaultValue)
{
    if (const std::string* kept = keptLoadWrite(key))
        return *kept;
    return m_services.settings.GetSetting(SettingsApplication, SettingsSection, key, defaultValue);
}

void Form1::SaveSetting(const std::string& key, const std::string& value)
{
    if (!m_loadWrites)
        m_services.settings.SaveSetting(SettingsApplication, SettingsSection, key, value);
    else if (std::string* kept = keptLoadWrite(key))
        *kept = value;
    else
        m_loadWrites->emplace_back(key, value);
}

std::string* Form1::keptLoadWrite(const std::string& key)
{
    if (!m_loadWrites)
        return nullptr;
    const auto kept = std::find_if(m_loadWrites->begin(), m_loadWrites->end(),
                                   [&](const auto& write) { return write.first == key; });
    return kept == m_loadWrites->end() ? nullptr : &kept->second;
}

// In the order the keys were first written; as the handlers' own writes, one that fails is passed
// over.
void Form1::storeLoadWrites()
{
    const auto writes = std::exchange(m_loadWrites, std::nullopt);
    if (!writes)
        return;
    for (const auto& [key, value] : *writes) {
        resumeNext([&] {
            if (GetSetting(key, "") != value)
                SaveSetting(key, value);
        });
    }
}

// A list with no stored folder, or whose stored folder is gone, stays on a folder nobody chose for
// it (the working folder, often the home folder, or its drive's): moving files out of it or into
// it would surprise. Nothing moves until the user chooses that column's folder.
void Form1::holdMovesUntilTheFoldersAreChosen(const std::string& storedDir1,
                                              const std::string& storedDir2)
{
    const char* const choose[2] = {"choose the folder to move from",
                                   "choose the folder to move into"};
    const char* const keys[2] = {"Dir1", "Dir2"};
    for (const Column column : {Download, Destination}) {
        const std::string& stored = column == Download ? storedDir1 : storedDir2;
        if (!stored.empty() && sameDirectory(pathFromText(stored), dirListOf(column).Path()))
            continue;
        m_holds[column] = (stored.empty() ? std::string("no folder chosen yet")
                                          : "the folder '" + stored + "' is not there any more") +
                          ": " + choose[column];
        // A drive's handler stored the folder it opened on that drive: taken for a choice at the
        // next start, the hold would not outlast this run.
        resumeNext([&] {
            if (GetSetting(keys[column], "") != stored)
                SaveSetting(keys[column], stored);
        });
    }
    showFailures();
}

// Only a selection in a column ends that column's hold: a folder chosen on the right says nothing
// of the folder on the left. A selection that fails leaves the hold.
void Form1::runSelectionHandler(Column column, void (Form1::*handler)())
{
    m_selectionFailure.clear();
    try {
        (this->*handler)();
        m_holds[column].clear();
        rememberMountPoint(column);
    } catch (const RuntimeError& error) {
        m_selectionFailure = error.description();
    } catch (const std::exception& error) {
        m_selectionFailure = error.what();
    }
    if (!m_selectionFailure.empty())
        logFailure(m_selectionFailure);
    showFailures();
}

DirListBox& Form1::dirListOf(Column column)
{
    return column == Download ? Dir1 : Dir2;
}

void Form1::rememberMountPoint(Column column)
{
    m_mountPoints[column] = mountPointOf(dirListOf(column).Path());
    m_volumes[column] = lastingVolumeOf(dirListOf(column).Path());
}

// Asked only when there are files to move: an idle pass asks the folders for nothing more.
void Form1::refuseAnotherVolume(const PassFolders& folders)
{
    for (const Column column : {Download, Destination}) {
        const std::filesystem::path& folder =
            column == Download ? folders.download : folders.destination;
        if (folders.volumes[column] && lastingVolumeOf(folder) != folders.volumes[column])
            throw RuntimeError(ErrorNumber::PathNotFound,
                               "another volume stands at '" + pathText(folder.root_path()) +
                                   "': nothing moves until the one chosen is back");
    }
}

void Form1::report(const std::string& failure)
{
    if (m_passFailures.note(failure))
        logFailure(failure);
}

void Form1::showFailures()
{
    std::vector<std::string> lines;
    for (const std::string& hold : m_holds) {
        if (!hold.empty())
            lines.push_back(hold);
    }
    if (!m_selectionFailure.empty())
        lines.push_back(m_selectionFailure);
    lines.insert(lines.end(), m_passFailures.current().begin(), m_passFailures.current().end());

    std::string details;
    for (const std::string& line : lines)
        details += (details.empty() ? "" : "\n") + line;
    std::string line = lines.empty() ? "" : lines.front();
    if (lines.size() > 1)
        line += " (and " + std::to_string(lines.size() - 1) + " more)";
    m_window.showFailures(line, details);
}

} // namespace vorlund
