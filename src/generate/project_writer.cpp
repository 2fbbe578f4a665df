#include "generate/project_writer.h"

#include <cerrno>
#include <cstring>
#include <utility>
#include "base/asys.h"
#include "base/sys.h"
#include "generate/addon_files.h"
#include "generate/addon_names.h"

namespace {

// Every "@D" in the lines below stands for the design's dll_name.
const char* const workspace_lines[] = {
    "Microsoft Developer Studio Workspace File, Format Version 6.00",
    "# WARNING: DO NOT EDIT OR DELETE THIS WORKSPACE FILE!",
    "###############################################################################",
    "Project: \"@D\"=.\\@D.dsp - Package Owner=<4>",
    "Package=<5>",
    "{{{",
    "}}}",
    "Package=<4>",
    "{{{",
    "}}}",
    "###############################################################################",
    "Global:",
    "Package=<5>",
    "{{{",
    "}}}",
    "Package=<3>",
    "{{{",
    "}}}",
    "###############################################################################",
};

const char* const project_lines[] = {
    "# Microsoft Developer Studio Project File - Name=\"@D\" - Package Owner=<4>",
    "# Microsoft Developer Studio Generated Build File, Format Version 6.00",
    "# ** DO NOT EDIT **",
    "",
    "# TARGTYPE \"Win32 (x86) Dynamic-Link Library\" 0x0102",
    "",
    "CFG=@D - Win32 Debug",
    "!MESSAGE This is not a valid makefile. To build this project using NMAKE,",
    "!MESSAGE use the Export Makefile command and run",
    "!MESSAGE ",
    "!MESSAGE NMAKE /f \"@D.mak\".",
    "!MESSAGE ",
    "!MESSAGE You can specify a configuration when running NMAKE",
    "!MESSAGE by defining the macro CFG on the command line. For example:",
    "!MESSAGE ",
    "!MESSAGE NMAKE /f \"@D.mak\" CFG=\"@D - Win32 Debug\"",
    "!MESSAGE ",
    "!MESSAGE Possible choices for configuration are:",
    "!MESSAGE ",
    "!MESSAGE \"@D - Win32 Release\" (based on \"Win32 (x86) Dynamic-Link Library\")",
    "!MESSAGE \"@D - Win32 Debug\" (based on \"Win32 (x86) Dynamic-Link Library\")",
    "!MESSAGE ",
    "",
    "# Begin Project",
    "# PROP AllowPerConfigDependencies 0",
    "# PROP Scc_ProjName \"\"",
    "# PROP Scc_LocalPath \"\"",
    "CPP=cl.exe",
    "MTL=midl.exe",
    "RSC=rc.exe",
    "",
    "!IF  \"$(CFG)\" == \"@D - Win32 Release\"",
    "",
    "# PROP BASE Use_MFC 0",
    "# PROP BASE Use_Debug_Libraries 0",
    "# PROP BASE Output_Dir \"temp\\rel\"",
    "# PROP BASE Intermediate_Dir \"temp\\rel_bld\"",
    "# PROP BASE Target_Dir \"\"",
    "# PROP Use_MFC 0",
    "# PROP Use_Debug_Libraries 0",
    "# PROP Output_Dir \"..\\..\\Modules\"",
    "# PROP Intermediate_Dir \"temp\\rel_bld\"",
    "# PROP Ignore_Export_Lib 0",
    "# PROP Target_Dir \"\"",
    "# ADD BASE CPP /nologo /MT /W3 /GX /O2 /D \"WIN32\" /D \"NDEBUG\" /D \"_WINDOWS\" /YX /FD /c",
    "# ADD CPP /nologo /MD /W3 /GX /O2 /I \"..\\..\\veltorasdk\\include\" /D \"WIN32\" /D \"NDEBUG\" /D \"_WINDOWS\" /FD /c",
    "# SUBTRACT CPP /YX",
    "# ADD BASE MTL /nologo /D \"NDEBUG\" /mktyplib203 /o \"NUL\" /win32",
    "# ADD MTL /nologo /D \"NDEBUG\" /o \"NUL\" /win32",
    "# SUBTRACT MTL /mktyplib203",
    "# ADD BASE RSC /l 0x809 /d \"NDEBUG\"",
    "# ADD RSC /l 0x809 /d \"NDEBUG\"",
    "BSC32=bscmake.exe",
    "# ADD BASE BSC32 /nologo",
    "# ADD BSC32 /nologo",
    "LINK32=link.exe",
    "# ADD BASE LINK32 kernel32.lib user32.lib gdi32.lib winspool.lib comdlg32.lib advapi32.lib shell32.lib ole32.lib oleaut32.lib uuid.lib odbc32.lib odbccp32.lib /nologo /subsystem:windows /dll /machine:I386",
    "# ADD LINK32 kernel32.lib user32.lib gdi32.lib winspool.lib comdlg32.lib advapi32.lib shell32.lib ole32.lib oleaut32.lib uuid.lib odbc32.lib odbccp32.lib /nologo /subsystem:windows /dll /machine:I386",
    "",
    "!ELSEIF  \"$(CFG)\" == \"@D - Win32 Debug\"",
    "",
    "# PROP BASE Use_MFC 0",
    "# PROP BASE Use_Debug_Libraries 1",
    "# PROP BASE Output_Dir \"temp\\dbg_bld\"",
    "# PROP BASE Intermediate_Dir \"temp\\dbg_bld\"",
    "# PROP BASE Target_Dir \"\"",
    "# PROP Use_MFC 0",
    "# PROP Use_Debug_Libraries 1",
    "# PROP Output_Dir \"temp\\dbg_bld\"",
    "# PROP Intermediate_Dir \"temp\\dbg_bld\"",
    "# PROP Ignore_Export_Lib 0",
    "# PROP Target_Dir \"\"",
    "# ADD BASE CPP /nologo /MTd /W3 /Gm /GX /Zi /Od /D \"WIN32\" /D \"_DEBUG\" /D \"_WINDOWS\" /YX /FD /c",
    "# ADD CPP /nologo /MTd /W3 /Gm /GX /ZI /Od /I \"..\\..\\veltorasdk\\include\" /D \"WIN32\" /D \"_DEBUG\" /D \"_WINDOWS\" /FD /c",
    "# SUBTRACT CPP /YX",
    "# ADD BASE MTL /nologo /D \"_DEBUG\" /mktyplib203 /o \"NUL\" /win32",
    "# ADD MTL /nologo /D \"_DEBUG\" /mktyplib203 /o \"NUL\" /win32",
    "# ADD BASE RSC /l 0x809 /d \"_DEBUG\"",
    "# ADD RSC /l 0x809 /d \"_DEBUG\"",
    "BSC32=bscmake.exe",
    "# ADD BASE BSC32 /nologo",
    "# ADD BSC32 /nologo",
    "LINK32=link.exe",
    "# ADD BASE LINK32 kernel32.lib user32.lib gdi32.lib winspool.lib comdlg32.lib advapi32.lib shell32.lib ole32.lib oleaut32.lib uuid.lib odbc32.lib odbccp32.lib /nologo /subsystem:windows /dll /debug /machine:I386 /pdbtype:sept",
    "# ADD LINK32 kernel32.lib user32.lib gdi32.lib winspool.lib comdlg32.lib advapi32.lib shell32.lib ole32.lib oleaut32.lib uuid.lib odbc32.lib odbccp32.lib /nologo /subsystem:windows /dll /debug /machine:I386 /out:\"..\\..\\Modules/@D.dll\" /pdbtype:sept",
    "",
    "!ENDIF ",
    "",
    "# Begin Target",
    "",
    "# Name \"@D - Win32 Release\"",
    "# Name \"@D - Win32 Debug\"",
    "# Begin Source File",
    "",
    "SOURCE=.\\@D.cpp",
    "# End Source File",
    "# Begin Source File",
    "",
    "SOURCE=.\\@D.h",
    "# End Source File",
    "# Begin Source File",
    "",
    "SOURCE=..\\..\\veltorasdk\\lib\\Veltora.lib",
    "# End Source File",
    "# Begin Source File",
    "",
    "SOURCE=..\\..\\veltorasdk\\lib\\Veltorasdk.lib",
    "# End Source File",
    "# End Target",
    "# End Project",
};

template <size_t N>
std::string fill_lines(const char* const (&lines)[N], const std::string& dll_name) {
  return crlf_lines(lines, N, [&](char) { return dll_name; });
}

}  // namespace

std::string project_folder(const std::string& dll_name) { return ".\\Vessel_Design\\" + dll_name; }

std::string project_workspace_text(const std::string& dll_name) { return fill_lines(workspace_lines, dll_name); }

std::string project_file_text(const std::string& dll_name) { return fill_lines(project_lines, dll_name); }

void write_project(const std::string& root, const std::string& dll_name) {
  std::string folder = project_folder(dll_name).substr(2) + "\\" + dll_name;  // below the root
  const std::pair<std::string, std::string> files[] = {
      {folder + ".dsw", project_workspace_text(dll_name)},
      {folder + ".dsp", project_file_text(dll_name)},
  };
  for (const auto& [name, text] : files) {
    const std::string target = target_path(root, checked_target_name(name, "DLL name"));
    const std::string parent = target.substr(0, target.find_last_of('/'));
    if (!make_folders(parent)) throw io_error("Cannot create the folder \"" + parent + "\": " + std::strerror(errno));
    replace_file(target, text.data(), text.size());
  }
}
