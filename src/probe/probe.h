// The subcommands of zuvo-probe. Each lives in its own probe_<name>.cpp and returns the
// process exit code (0 success, 1 failure, 2 usage error).
#pragma once

int ProbeIni(int argc, char** argv);  // ini FILE: read a settings file, print what it holds
int ProbeScan(int argc, char** argv);
int ProbeLangTemplate(int argc, char** argv);  // lang-template OUT.ini
int ProbeDsp(int argc, char** argv);  // dsp --ini SETTINGS.ini IN.wav OUT.wav
int ProbeRender(int argc, char** argv);  // render [--ini S.ini] FILE... OUT.wav
int ProbeId3v1(int argc, char** argv);  // id3v1 FILE TITLE ARTIST ALBUM YEAR COMMENT TRACK GENRE
int ProbeId3v2View(int argc, char** argv);  // id3v2-view FILE: the tag editor's raw ID3v2 view
