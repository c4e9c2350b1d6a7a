// The statistics window: with pictures on, the rating by day and each
// cycle's time drawn with GDI beside the courses' and themes' tables; with
// pictures off, the same figures as text in a read-only field a screen reader
// reads. What goes where is the portable statistics screen's; this window
// paints it. Esc or Enter closes it.
#pragma once

#include <windows.h>

#include "platform/clock.h"
#include "platform/files.h"
#include "solver/problem_data.h"
#include "solver/startup.h"
#include "solver/statistics.h"

namespace zel::platform {

inline constexpr const wchar_t* kStatisticsClassName = L"ZelStatistics";
// The text field that holds the figures with pictures off.
inline constexpr int kIdStatisticsText = 300;

// Reads the progress of every course of the start's family and the rating,
// and opens a window owned by `owner` (which may be null) showing them in
// the start's language, with pictures as the start says. A statistics window
// `owner` already has is closed first: the new one shows today's figures.
// The window is shown, active and painted when this returns, and destroys
// itself when closed or with its owner. Throws Failure when a file cannot be
// read or the system refuses the window.
HWND OpenStatisticsWindow(HWND owner, Files& files, const solver::ProblemData& data,
                          const solver::StartChoice& start, Clock& clock,
                          const solver::ThemeNameLookup& themeNames = {});

}  // namespace zel::platform
