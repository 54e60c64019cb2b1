#pragma once

// The Linux side of Wine processes, read through the drive that maps /:
// under Wine, GetProcessTimes and GetProcessMemoryInfo of another process do
// not give that process's figures; its /proc entry does.

#include <string>

// The whole file, or empty when it cannot be read.
std::string readWhole(const std::wstring& path);
// The /proc directory (Z:\proc\N) of the Linux process whose command line
// holds commandLinePart and not `unless`; empty when there is none.
std::wstring procOf(const std::string& commandLinePart, const std::string& unless = "\x01");
// The /proc directory of the Linux process that runs the Windows program
// exePath, not one whose command line holds `unless`.
std::wstring procOfProgram(const std::wstring& exePath, const std::string& unless);
// User and system time of a process in ms; -1 when unreadable.
double cpuMs(const std::wstring& proc);
// Resident memory of a process in kB (VmRSS of its status); -1 when unreadable.
long residentKb(const std::wstring& proc);
// ASCII of a wide text, '?' for the rest.
std::string narrow(const std::wstring& text);
