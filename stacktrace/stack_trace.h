// StackTrace.dll: the crash reporter that a program initialises before anything else.
#pragma once

#ifdef STACKTRACE_BUILDING_DLL
#define STACKTRACE_API __declspec(dllexport)
#else
#define STACKTRACE_API __declspec(dllimport)
#endif

// Installs the reporter for the whole process; later calls do nothing. When the program
// crashes, a short report (exception code, faulting address and the return addresses of
// the frame chain, each as module+offset) goes to "<program>.crash.txt" in the user's temp
// folder, and then the crash takes its usual course. Nothing is written otherwise.
extern "C" STACKTRACE_API void InitStackTraceLibrary(void);
