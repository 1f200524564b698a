#pragma once
// The project window: one opened drawing with its own status line, painted from a cached picture, picking
// figures with the mouse and animating the planned path.

#include <QColor>
#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "project/kerf_settings.h"
#include "project/path_animation.h"
#include "project/project_document.h"
#include "project/project_view.h"

class QLabel;
class QStatusBar;
class QTimer;
class QToolButton;

namespace varnholt {

class InputInterceptor;
class OffThreadWork;
class tInterfejs;

// What a picture of the project is made for: the window's size, its status line's height, the zoom and shift, the
// background and whether the planned order is shown.
struct PictureRequest {
  int width = 1;
  int height = 1;
  int status_height = 0;
  ViewAdjust adjust;
  QColor background;
  bool show_order = false;
};

class TMDIChild final : public QWidget {
 public:
  TMDIChild(const tInterfejs& texts, QWidget* parent = nullptr);
  ~TMDIChild() override;
  TMDIChild(const TMDIChild&) = delete;
  TMDIChild& operator=(const TMDIChild&) = delete;

  ProjectDocument& document() { return document_; }
  const ProjectDocument& document() const { return document_; }

  // Reads and plans a drawing; the caption becomes the file name. False when the window must close: the file
  // could not be opened or read, or held no figure (the reason has been shown), or the window was closed while it
  // loaded. The work runs on a thread of its own: the windows answer meanwhile, with the progress in the status
  // lines; Esc, the status line's Stop of planning and the machine's Stop stop the planning (the drawing stays
  // unplanned), and a close cancels the work and closes the window once it has ended.
  bool Load(const std::string& file_name, int pen_filter);
  // Takes a drawing the program made (a text) as Load takes a file's, with the caption naming it.
  bool LoadFigures(FigureList drawing, const std::string& caption);
  // Shows a project the program made (a duplication, already planned) in place of an empty one; the caption
  // names it.
  void TakeProject(ProjectDocument&& project, const std::string& caption);
  // Plans the cut again (after a configuration change), with progress and abort as while loading; nothing while
  // the window is busy.
  void ciecie();
  // Compensates the drawing for another kerf or scale (after a configuration change) and plans it again, with
  // progress and abort as while loading; the figures the kerf leaves as drawn are told once and join the load
  // report. A project not loaded from a drawing stays as it is.
  void ChangeKerf(const KerfSettings& settings);
  int32_t JakiKierunek(int32_t index) const { return document_.JakiKierunek(index); }
  // The figures changed: the picture is made anew at the next paint.
  void ProjectChanged();
  // True while the window loads or plans. Meanwhile document() is a stand-in with the project's settings and box
  // but no figures, the picture shows the drawing as it was before the work (a new drawing's once it is read), and
  // zooming, moving and picking wait.
  bool busy() const { return busy_; }
  // Stops the planning under way at its next abort check (as Esc and the Stop of planning do).
  void StopPlanning();

  // Animates the planned path one pixel a millisecond with pause_ms at each corner pause, on the program
  // clock, until it ends or a key or left click anywhere stops it; then calls finished with true when it was
  // stopped. The path drawn so far stays shown until ClearPath (Esc), the next simulation or the next cut.
  // While it runs, + and - set its speed (x1 to x50), P pauses and resumes it and the right arrow takes it,
  // paused, to its next stop.
  void StartSimulation(int64_t pause_ms, std::function<void(bool stopped)> finished);
  bool simulating() const { return animation_timer_ != nullptr; }
  void ClearPath();
  // The planned order on demand (the key O): arrows along the planned path for its direction and the order of the
  // figures' entries as numbers.
  void ShowOrder(bool show);
  bool order_shown() const { return show_order_; }
  // The simulation's speed factor, whether it stands paused, and how far along its path it is (ms).
  int simulation_speed() const { return simulation_speed_; }
  bool simulation_paused() const { return simulation_paused_; }
  int64_t simulation_elapsed_ms() const { return animation_elapsed_ms_; }
  // How long the running simulation takes in all (0 when none runs).
  int64_t SimulationTotalMs() const { return simulating() ? animation_.total_ms() : 0; }

  // What the status line shows.
  QString StatusText() const;
  // The load report's lines and the window that lists them.
  int NoteCount() const;
  void ShowLoadReport();

  // Called on a right click and a double click: the project information window opens here.
  std::function<void()> information_requested;

  // The painting's mapping for the window's current size, zoom and shift.
  ProjectView View() const;
  // Zoom by factor about the window's middle (keys + and -) or a pixel (the wheel, about the mouse); fit the
  // whole drawing in again (the key Home, the menu). The picture is drawn again from the figures; the plan stays.
  void ZoomBy(double factor);
  void ZoomBy(double factor, const QPoint& about);
  void FitView();
  // Moves the picture by so many pixels (a drag does it).
  void MoveBy(const QPoint& by);
  const ViewAdjust& view_adjust() const { return adjust_; }

  // The cut on the drawing: the way cut so far in its own colour, the wire's mark, and status in the status
  // line's cut place. A snapshot that shows nothing takes them away; so does ClearCut until the next cut's
  // snapshot (another serial) comes.
  void ShowCut(const CutSnapshot& cut, const QString& status);
  void ClearCut();
  const CutSnapshot& shown_cut() const { return cut_; }
  QString CutStatusText() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // Refused while the window works: the work is cancelled, and the window closes once it has ended.
  void closeEvent(QCloseEvent* event) override;

 private:
  void SetStatusLine(const QString& text);
  void UpdateNotes();
  void RenderPicture();
  PictureRequest PictureWanted() const;
  void PaintScaleAndSize(QPainter& painter, const ProjectView& view);
  void PaintCut(QPainter& painter, const ProjectView& view);
  void ShowSelection();
  void AnimationTick();
  // A key the running simulation takes for itself (true) rather than ending on it.
  bool SimulationKey(int key);
  void ShowSimulationState();
  void RemakeAnimation();
  void FinishSimulation();
  // Runs a load with the caption set: the drawing shown, then planned. False when the load failed or was
  // cancelled.
  bool LoadAndPlan(const std::string& caption, const std::function<bool(ProjectDocument&)>& load);
  // Runs steps of OffThread with the window marked busy; a close asked meanwhile is carried out afterwards.
  void Work(const std::function<void()>& steps);
  // Which picture the work makes of the project once it is done: none, the drawing (before its plan) or the planned
  // project.
  enum class WorkPicture { kNone, kDrawing, kPlanned };
  // Runs work on the project's document on a thread of its own while the windows' events go on (the program's end
  // cancels it), then the picture asked for, which the window takes if its size is still the one the picture was
  // made for; the window holds a stand-in meanwhile. False when the work was cancelled.
  bool OffThread(const std::function<void(ProjectDocument&)>& work, WorkPicture picture);
  // The picture of the drawing before its plan, kept through the plan.
  void ShowBeforeWork();

  const tInterfejs& texts_;
  ProjectDocument document_;
  QStatusBar* status_line_ = nullptr;
  QToolButton* notes_button_ = nullptr;
  QToolButton* stop_button_ = nullptr;
  bool busy_ = false;
  std::unique_ptr<OffThreadWork> work_;
  bool close_requested_ = false;
  // The picture was made by the work just ended.
  bool picture_made_ = false;

  QLabel* cut_status_ = nullptr;

  QImage picture_;
  bool picture_valid_ = false;
  ViewAdjust adjust_;
  bool show_order_ = false;
  // A drag that moves the picture: where it began and how far it has gone; the picture follows it shifted and is
  // drawn again when it ends.
  bool drag_pressed_ = false;
  bool dragging_ = false;
  QPoint drag_from_;
  QPoint drag_by_;

  CutSnapshot cut_;
  uint64_t cut_cleared_ = 0;

  PathAnimation animation_;
  int64_t animation_tick_ms_ = 0;  // the clock at the last tick
  int simulation_speed_ = 1;
  bool simulation_paused_ = false;
  int64_t animation_elapsed_ms_ = 0;
  int64_t animation_pause_ms_ = 0;
  QTimer* animation_timer_ = nullptr;
  std::unique_ptr<InputInterceptor> animation_input_;
  std::function<void(bool)> animation_finished_;
};

}  // namespace varnholt
