#pragma once
// Template 132, the memory-download dialog, and its control ids (OK is 1,
// Cancel 2).
namespace lmv {

inline constexpr int kMemoryDialog = 132;

inline constexpr int kMemoryFolderEdit = 1098;
inline constexpr int kMemoryBrowseButton = 1099;
inline constexpr int kMemoryFileNameEdit = 1100;
inline constexpr int kMemoryProgressBar = 1101;
inline constexpr int kMemoryStatusText = 1102;
inline constexpr int kMemoryCountText = 1103;
inline constexpr int kMemoryFileNameLabel = 1104;
inline constexpr int kMemoryFolderLabel = 1105;
inline constexpr int kMemoryGroupBox = 1106;
inline constexpr int kMemoryRemainLabel = 1107;
inline constexpr int kMemoryRemainText = 1108;
inline constexpr int kMemoryElapsedLabel = 1109;
inline constexpr int kMemoryElapsedText = 1110;
inline constexpr int kMemoryBufferGauge = 1111;
inline constexpr int kDialogOk = 1;
inline constexpr int kDialogCancel = 2;

}  // namespace lmv
