#pragma once
// The subcommands of varnholt-cli; each takes its own arguments and returns the process exit code.

#include <ostream>
#include <string>
#include <vector>

namespace varnholt::cli {

using Arguments = std::vector<std::string>;

// figures FILE [--kind plt|dxf] [--unit mm|inch|feet] [--pen N] [--kerf MM] [--raw]: the figures of a drawing as
// JSON after the project's load (joined, duplicates dropped, pen filter applied, compensated for a kerf of MM) with
// its box, messages and the reader's notes; --raw prints the reader's own figures instead.
int RunFigures(const Arguments& args, std::ostream& out, std::ostream& err);

// config (--defaults | --load FILE | --settings FILE) [--decimal-separator .|,]: the 37 lines of a default or
// loaded configuration file as they would be saved, or the fields of a settings record.
int RunConfig(const Arguments& args, std::ostream& out, std::ostream& err);

// decode PROGRAM.cn: the machine program one command a line with its offset, then a summary; a damaged program is
// reported with the offset of the damage and exit code 1.
int RunDecode(const Arguments& args, std::ostream& out, std::ostream& err);

// machine [--sim Qa|Qe|Qo [--sim-version M.N] [--corrupt-firmware-word N]] COMMAND: talks to the controller (or a
// simulated one): devices, identify, status, move-bytes [--multiplier N] AXIS=STEPS..., home, jog KEY MS, goto X Y,
// move-wire to|by X Y Z [--side 1|2|both], firmware version|upgrade IMAGE|verify IMAGE|read OUT.rom.
int RunMachine(const Arguments& args, std::ostream& out, std::ostream& err);

// write FILE -o OUT.cn [--config FILE.qcc] [--kerf MM] [--model Qa|Qe|Qo] [--auto-repeat [--repeats N]]
// [--cut-start-figure] [duplication options]: loads and plans the drawing (laid out in rows and columns when asked,
// as duplicate does) and writes its machine program; with --model, for that model's simulated controller.
int RunWrite(const Arguments& args, std::ostream& out, std::ostream& err);

// info FILE [--config FILE.qcc] [--model Qa|Qe|Qo] [--unit mm|inch|feet]: the values of the project information
// window as JSON, with the time the program itself takes.
int RunInfo(const Arguments& args, std::ostream& out, std::ostream& err);

// plan FILE [--config FILE.qcc] [--kerf MM]: loads and plans a drawing and prints the plan as JSON: the project's
// planning fields and every list entry with its tree fields, with the points of connectors, frame and start marker
// (and of the drawing's figures once a kerf moved them).
int RunPlan(const Arguments& args, std::ostream& out, std::ostream& err);

// verify FILE PROGRAM.cn [--config FILE.qcc] [--kerf MM] [--model Qa|Qe|Qo] [--cut-start-figure] [duplication
// options]: loads and plans the drawing as write does, replays the program's wire path against the plan and prints
// as JSON every stray cut, every segment left uncut, the largest deviation and whether the wire ends where it
// began; exit 0 when the program cuts exactly the drawing, 2 when it does not, 1 when it cannot be checked.
int RunVerify(const Arguments& args, std::ostream& out, std::ostream& err);

// preview FILE -o PLAN.png|PLAN.svg [--size WxH] [--config FILE.qcc] [--kerf MM] [duplication options]: draws the
// planned project (laid out in rows and columns when asked, as duplicate does) as the project window paints it,
// with the planned path in red over it and, under a kerf-compensated project, the drawing thin and grey.
int RunPreview(const Arguments& args, std::ostream& out, std::ostream& err);

// duplicate FILE --columns N --rows N [--pitch-x MM] [--pitch-y MM] [--gap-v MM] [--gap-h MM] [--config FILE.qcc]
// [--write-dpl]: lays the drawing out in rows and columns joined by a connecting path, plans the new project and
// prints it as plan does, with the connecting path's points. preview and write take the same options.
int RunDuplicate(const Arguments& args, std::ostream& out, std::ostream& err);
// cut FILE [--sim Qa|Qe|Qo] [--config FILE.qcc] [--auto-repeat N] [--answer KEY=BUTTON]... [--at MS=EVENT]...
// [--test]: the whole cutting run without windows, driving the transmission's and the control panel's timers, and
// its outcome as JSON. With --sim on the simulated controller in virtual time, with events scheduled on its clock.
int RunCut(const Arguments& args, std::ostream& out, std::ostream& err);

// text TEXT --font FAMILY [--style STYLE] --height MM [--spacing MM] [--line-spacing MM] [--align left|centre|right]
// [--weld|--no-weld] [--fallback] -o FILE.plt: the text's outlines in the font, a capital MM high, written as a plot
// file the other commands take as any drawing; prints the font used, the figure count and the size as JSON.
int RunText(const Arguments& args, std::ostream& out, std::ostream& err);

}  // namespace varnholt::cli
