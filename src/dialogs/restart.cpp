// Program file names by version, the restart marker, and the clean-up after a restart.
#include "dialogs/restart.h"

#include "dialogs/program_control.h"
#include "platform/services.h"
#include "platform/text.h"

namespace dialogs {

namespace services = platform::services;

namespace {

#ifdef _WIN32
constexpr std::string_view executable_suffix = ".exe";
#else
constexpr std::string_view executable_suffix = "";
#endif

// The old program file the marker names, when it is safe to delete.
bool is_deletable_leftover(std::string_view name) {
  return is_bare_file_name(name) && name != services::program_file_name();
}

}  // namespace

std::string program_file_name_for(std::string_view version) {
  std::string name = "Quenbo资源社区";
  name += version;
  name += executable_suffix;
  return name;
}

std::string path_in_program_directory(std::string_view file_name) {
  std::string path = services::program_directory();
  path += '/';
  path += file_name;
  return path;
}

bool is_bare_file_name(std::string_view gbk_name) {
  if (gbk_name.empty() || gbk_name == "." || gbk_name == "..") return false;
  if (!platform::text::is_valid_gbk(gbk_name)) return false;
  // Decoded first: the second byte of a GBK character may equal '\\'.
  const std::string name = platform::text::gbk_to_utf8(gbk_name);
  return name.find_first_of(std::string_view("/\\\0", 3)) == std::string::npos;
}

bool write_restart_marker(std::string_view old_file_name) {
  return services::write_file(path_in_program_directory(restart_marker_name), old_file_name);
}

std::string clean_up_after_restart() {
  const std::string marker = path_in_program_directory(restart_marker_name);
  const std::string leftover = services::read_file(marker).value_or(std::string());
  if (is_deletable_leftover(leftover)) services::delete_file(path_in_program_directory(leftover));
  services::delete_file(marker);
  return leftover;
}

bool end_program_named(std::string_view file_name) {
  const int pid = services::find_process(file_name);
  if (pid == 0) return false;
  if (pid == services::current_process_id()) {
    end_program(0);
    return true;
  }
  return services::end_process(pid, 0);
}

bool update_announced(std::string_view program_version, std::string_view latest_version) {
  return program_version != latest_version;
}

bool write_update_notes(std::string_view update_notes) {
  return services::write_file(update_notes_file_name, update_notes);
}

}  // namespace dialogs
