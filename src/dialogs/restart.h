// The hand-over from an old program file to a new one: the program file names by version, the
// restart marker the old program leaves behind, the clean-up the new program does at start,
// and the version check that decides whether to offer an update.
#pragma once

#include <string>
#include <string_view>

namespace dialogs {

// The marker in the program directory; it holds the old program's file name.
inline constexpr std::string_view restart_marker_name = "tembra.txt";
// Written into the current directory when an update is offered.
inline constexpr std::string_view update_notes_file_name = "更新日志.txt";

// "Quenbo资源社区" + version + the platform's executable suffix (none on Linux).
std::string program_file_name_for(std::string_view version);

// program directory + "/" + file name.
std::string path_in_program_directory(std::string_view file_name);

// A file name without any directory part: not empty, no '/', '\\' or NUL, not "." or "..",
// valid GBK. Such a name stays inside the directory it is joined to.
bool is_bare_file_name(std::string_view gbk_name);

// Replaces the marker with exactly the bytes of the old file name.
bool write_restart_marker(std::string_view old_file_name);

// At start: reads the marker, deletes the old program file it names and the marker itself.
// Only a bare file name other than the running program's own is deleted; any other content is
// ignored. Answers the marker's content ("" without a marker).
std::string clean_up_after_restart();

// Ends the first process of this user whose executable has this file name (compared without
// regard to ASCII case): the running program through end_program(0), another one killed.
// Answers false when no process has that name.
bool end_program_named(std::string_view file_name);

// True when the published version differs from the program's own (compared byte for byte).
bool update_announced(std::string_view program_version, std::string_view latest_version);

// Replaces the notes file with exactly the notes' bytes.
bool write_update_notes(std::string_view update_notes);

}  // namespace dialogs
