#pragma once
// The steps of an atomic replacement that the file layer reports before taking them, and the
// names of its temporary files. Tests hook the steps to make the N-th one fail or to stop the
// file layer there, as a crash would; the programs never set a hook.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Lock is reported before the commit lock is taken; its outcome is not used.
enum class FileStep { Lock, Create, Write, Flush, Rename };
enum class FileStepOutcome { Proceed, Fail, Stop };

// Null (the default) lets every step proceed. After a Stop every later step and every removal
// is skipped and fails, as if the process had died at that point, until the hook is replaced.
using FileStepHook = std::function<FileStepOutcome(FileStep)>;
void SetFileStepHook(FileStepHook hook);

// For the file layer: what to do with the next step; and whether the layer has been stopped.
FileStepOutcome NextFileStep(FileStep step);
bool FileLayerStopped();

// "<path>.<process>-<counter>-<attempt>.tmp" (hexadecimal numbers): the temporary file that
// replaces `path`.
std::u16string TempPathFor(std::u16string_view path, std::uint32_t process, std::uint32_t counter,
                           std::uint32_t attempt);
// True for a file name (without folder) that TempPathFor makes: one left behind by a replacement
// that never finished.
bool IsReplacementTempName(std::u16string_view fileName);
