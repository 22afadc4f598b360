// Resource and control ids of the settings dialog's frame and its general pages, shared by the
// resource script and the code (plain defines: the resource compiler reads this file too).
// The general pages use 3100..3999; the sound pages keep 4000..4499 for theirs.
#pragma once

// The frame's template (the pages are 3000 + page index).
#define kSettingsFrameTemplate 3019

// Frame controls.
#define kIdFrameTree 3990
#define kIdFramePageArea 3991
#define kIdFrameTitle 3992
#define kIdFrameRestart 3993

// Page indexes the code names.
#define kPageQuick 0
#define kPageBigView 12
#define kPageAbout 18

// Language table entries of the frame.
#define kLangPageNames 173
#define kLangFrameTitle 192
#define kLangRestart 193
#define kLangClose 194
#define kLangApply 195
#define kLangRestartHint 224
