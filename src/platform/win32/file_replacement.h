#pragma once

// The steps that put a written copy in its target's place, apart from the
// system calls that take them, so that what each answer of the system leads
// to is tested without the system. No <windows.h>: error numbers and
// attribute bits are the system's own values.

#include <cstdint>
#include <string>

#include "platform/script_files.h"

namespace system_error {
inline constexpr std::uint32_t none = 0;
inline constexpr std::uint32_t fileNotFound = 2;
inline constexpr std::uint32_t accessDenied = 5;
inline constexpr std::uint32_t sharingViolation = 32;
inline constexpr std::uint32_t lockViolation = 33;
inline constexpr std::uint32_t fileExists = 80;
inline constexpr std::uint32_t alreadyExists = 183;
inline constexpr std::uint32_t deletePending = 303;
inline constexpr std::uint32_t unableToRemoveReplaced = 1175;
inline constexpr std::uint32_t unableToMoveReplacement = 1176;
inline constexpr std::uint32_t unableToMoveReplacement2 = 1177;
}  // namespace system_error

namespace file_attribute {
inline constexpr std::uint32_t readOnly = 0x1;
inline constexpr std::uint32_t hidden = 0x2;
inline constexpr std::uint32_t system = 0x4;
inline constexpr std::uint32_t directory = 0x10;
inline constexpr std::uint32_t archive = 0x20;
inline constexpr std::uint32_t normal = 0x80;
inline constexpr std::uint32_t notContentIndexed = 0x2000;
// What a file's owner sets and a new version of it keeps.
inline constexpr std::uint32_t kept = hidden | system | archive | notContentIndexed;
}  // namespace file_attribute

// The calls the steps make, each answering system_error::none or the error.
class ReplacementCalls {
 public:
  virtual ~ReplacementCalls() = default;
  virtual std::uint32_t attributesOf(const std::wstring& path, std::uint32_t& attributes) = 0;
  virtual std::uint32_t setAttributes(const std::wstring& path, std::uint32_t attributes) = 0;
  // ReplaceFileW with a backup name, ignoring what cannot be merged.
  virtual std::uint32_t replace(const std::wstring& target, const std::wstring& copy, const std::wstring& backup) = 0;
  // MoveFileExW, written through, never over an existing file.
  virtual std::uint32_t move(const std::wstring& from, const std::wstring& to) = 0;
  virtual std::uint32_t remove(const std::wstring& path) = 0;
};

// What a replacement meets while another program holds the target or the
// copy: a sharing or lock violation, or ReplaceFileW saying that it could
// not move one of them out of the way, which leaves both under their names
// (its backup name puts the second case there too, see below); or a delete
// of the target that is still pending; or a target made meanwhile where
// there was none.
inline bool isBusyError(std::uint32_t error) {
  switch (error) {
    case system_error::sharingViolation:
    case system_error::lockViolation:
    case system_error::deletePending:
    case system_error::unableToRemoveReplaced:
    case system_error::unableToMoveReplacement:
    case system_error::unableToMoveReplacement2:
    case system_error::alreadyExists:
    case system_error::fileExists:
      return true;
    default:
      return false;
  }
}

// One try to put the copy in the target's place, the backup a free name
// beside it. A backup that a replacement left and could not delete is named
// in leftover, for a later delete.
//
// An existing target goes through ReplaceFileW, which keeps its creation
// time and access rights and merges its attributes; the copy takes the
// plain attributes first, so that they stay where merging is not possible.
// A read-only target is refused with access denied, which no pause changes,
// so it is not tried. ReplaceFileW's failures leave the old file under the
// target's name, or (ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) under the backup's
// alone; from there it is put back, and where that fails it stays under the
// backup's name rather than be lost.
//
// A missing target takes the copy's name by a move that replaces nothing:
// one made meanwhile is the next try's to replace.
//
// Access denied is busy only where the target's own attributes are denied
// too, which is what a pending delete gives; else it is the rights.
inline WriteResult replaceStep(ReplacementCalls& calls, const std::wstring& target, const std::wstring& copy,
                               const std::wstring& backup, std::wstring& leftover) {
  std::uint32_t attributes = 0;
  std::uint32_t error = calls.attributesOf(target, attributes);
  if (error == system_error::accessDenied) return WriteResult::targetBusy;
  if (error == system_error::fileNotFound) {
    error = calls.move(copy, target);
    if (error == system_error::none) return WriteResult::written;
    return isBusyError(error) ? WriteResult::targetBusy : WriteResult::failed;
  }
  if (error != system_error::none) return WriteResult::failed;
  if (attributes & (file_attribute::readOnly | file_attribute::directory)) return WriteResult::failed;

  const std::uint32_t kept = attributes & file_attribute::kept;
  calls.setAttributes(copy, kept ? kept : file_attribute::normal);
  error = calls.replace(target, copy, backup);
  if (error == system_error::none) {
    if (calls.remove(backup) != system_error::none) leftover = backup;
    return WriteResult::written;
  }
  std::uint32_t ignored = 0;
  if (calls.attributesOf(backup, ignored) == system_error::none &&
      calls.move(backup, target) != system_error::none) {
    return WriteResult::failed;
  }
  if (error == system_error::accessDenied && calls.attributesOf(target, ignored) == system_error::accessDenied) {
    return WriteResult::targetBusy;
  }
  return isBusyError(error) ? WriteResult::targetBusy : WriteResult::failed;
}
