#include "project/ui/mdi_child.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QPolygonF>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <iterator>

#include "config/konfig_file.h"
#include "geometry/clock.h"
#include "geometry/decimal_text.h"
#include "project/load_report.h"
#include "project/ui/load_report_dialog.h"
#include "project/ui/off_thread_work.h"
#include "services/interfejs.h"
#include "services/operator.h"
#include "ui/input_interceptor.h"
#include "ui/qt_operator.h"
#include "ui/window_texts.h"

namespace varnholt {
namespace {

// Ticks of the animation; the path's own timing comes from the program clock.
constexpr int kAnimationTickMs = 15;
// One zoom step of a key or a wheel notch, and the pixels a press must move to become a drag.
constexpr double kZoomStep = 1.25;
constexpr int kDragStart = 4;
// The scale bar's longest length and its place from the lower left corner of the picture.
constexpr int kScaleBarMost = 120;
constexpr int kScaleBarMargin = 10;
// The radius of the wire's mark and of the start point's.
constexpr int kWireMark = 5;
constexpr int kStartMark = 4;
// An arrowhead's length, and the least length of a line that gets one.
constexpr double kArrow = 9.0;
constexpr double kArrowRoom = 30.0;
// The simulation's speeds, slowest first.
constexpr int kSimulationSpeeds[] = {1, 2, 5, 10, 20, 50};

QColor Colour(uint32_t rgb) {
  return QColor(static_cast<int>((rgb >> 16) & 0xff), static_cast<int>((rgb >> 8) & 0xff),
                static_cast<int>(rgb & 0xff));
}

QPoint At(const TPlotPoint& p) {
  return QPoint(p.x, p.y);
}

void DrawPolyline(QPainter& painter, const std::vector<TPlotPoint>& pixels, size_t count) {
  if (count == 0) return;
  QPolygon polygon;
  polygon.reserve(static_cast<qsizetype>(count));
  for (size_t i = 0; i < count; ++i) polygon << At(pixels[i]);
  if (count == 1) {
    painter.drawPoint(polygon.front());
  } else {
    painter.drawPolyline(polygon);
  }
}

TextLookup LookupOf(const tInterfejs& texts) {
  return [&texts](std::string_view section, std::string_view key) { return texts.GetText(section, key); };
}

// What the window holds while the project is worked on elsewhere: the settings the program reads and writes and
// the box the picture was made for, no figures.
ProjectDocument StandIn(const ProjectDocument& project, TextLookup texts) {
  ProjectDocument stand_in(std::move(texts));
  stand_in.SetKerf(project.kerf_width_mm(), project.kerf_scale_percent());
  stand_in.project_min_x = project.project_min_x;
  stand_in.project_min_y = project.project_min_y;
  stand_in.project_max_x = project.project_max_x;
  stand_in.project_max_y = project.project_max_y;
  stand_in.project_width = project.project_width;
  stand_in.project_height = project.project_height;
  stand_in.feed_sign = project.feed_sign;
  stand_in.feed_sign_start = project.feed_sign_start;
  stand_in.reader_kind = project.reader_kind;
  stand_in.source_file = project.source_file;
  stand_in.feed_direction = project.feed_direction;
  stand_in.drawing_unit = project.drawing_unit;
  stand_in.working_range = project.working_range;
  stand_in.ltscale = project.ltscale;
  stand_in.plan_after_load = project.plan_after_load;
  stand_in.add_frame = project.add_frame;
  return stand_in;
}

// While a project works: Esc (not one that closes a menu or a box) and the operator's Stop stop its planning.
// The events go on to the windows: a Stop stops the machine too.
class PlanningStopWatch final : public QObject {
 public:
  explicit PlanningStopWatch(std::function<void()> stop) : stop_(std::move(stop)) {
    QCoreApplication::instance()->installEventFilter(this);
  }
  ~PlanningStopWatch() override { QCoreApplication::instance()->removeEventFilter(this); }
  PlanningStopWatch(const PlanningStopWatch&) = delete;
  PlanningStopWatch& operator=(const PlanningStopWatch&) = delete;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const PendingInput input = ClassifyInput(watched, *event);
    if (input == PendingInput::kStop && event->type() != QEvent::KeyPress) {
      stop_();  // a Stop button
    } else if (event->type() == QEvent::KeyPress && QApplication::activePopupWidget() == nullptr &&
               QApplication::activeModalWidget() == nullptr) {
      // Keys typed into a box or a menu are theirs.
      if (input == PendingInput::kStop || static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape) stop_();
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> stop_;
};

void PaintSpace(QPainter& painter, const SpaceMarks& marks) {
  // The work area and the origin's cross, under the figures.
  painter.setPen(QPen(Colour(kWorkAreaColour), 1, Qt::DashLine));
  painter.setBrush(Qt::NoBrush);
  QPolygon area;
  area << At(marks.area_low) << QPoint(marks.area_high.x, marks.area_low.y) << At(marks.area_high)
       << QPoint(marks.area_low.x, marks.area_high.y);
  painter.drawPolygon(area);
  painter.setPen(QPen(Colour(kWorkAreaColour), 2));
  painter.drawLine(marks.origin.x - 8, marks.origin.y, marks.origin.x + 8, marks.origin.y);
  painter.drawLine(marks.origin.x, marks.origin.y - 8, marks.origin.x, marks.origin.y + 8);
}

void PaintStart(QPainter& painter, const SpaceMarks& marks) {
  if (!marks.planned) return;
  painter.setPen(QPen(Colour(kStartColour), 2));
  if (marks.entry != marks.start) {
    const double dx = double{1} * marks.entry.x - marks.start.x, dy = double{1} * marks.entry.y - marks.start.y;
    const double length = std::hypot(dx, dy);
    const double reach = std::min(length, 20.0);
    painter.drawLine(At(marks.start), QPoint(marks.start.x + static_cast<int>(std::lround(dx / length * reach)),
                                             marks.start.y + static_cast<int>(std::lround(dy / length * reach))));
  }
  painter.setBrush(Colour(kStartColour));
  painter.drawEllipse(At(marks.start), kStartMark, kStartMark);
  painter.setBrush(Qt::NoBrush);
}

void PaintOrder(QPainter& painter, const ProjectDocument& project, const ProjectView& view) {
  const std::vector<TPlotPoint> path = PlannedPath(project);
  painter.setPen(QPen(Colour(kOrderColour), 1));
  painter.setBrush(Colour(kOrderColour));
  // An arrowhead in the middle of each line long enough to hold one, pointing the way the wire goes.
  TPlotPoint from{};
  bool first = true;
  for (const TPlotPoint& point : path) {
    const TPlotPoint to = view.Pixel(point);
    if (!first) painter.drawLine(At(from), At(to));
    const double dx = double{1} * to.x - from.x, dy = double{1} * to.y - from.y;
    const double length = std::hypot(dx, dy);
    if (!first && length >= kArrowRoom) {
      const double ux = dx / length, uy = dy / length;
      const QPointF tip(from.x + dx / 2 + ux * kArrow / 2, from.y + dy / 2 + uy * kArrow / 2);
      const QPointF back(tip.x() - ux * kArrow, tip.y() - uy * kArrow);
      const QPointF side(-uy * kArrow / 2, ux * kArrow / 2);
      painter.drawPolygon(QPolygonF({tip, back + side, back - side}));
    }
    from = to;
    first = false;
  }
  painter.setBrush(Qt::NoBrush);
  for (const OrderMark& mark : PlannedOrder(project)) {
    const TPlotPoint at = view.Pixel(mark.at);
    painter.drawText(at.x + 6, at.y - 6, QString::number(mark.number));
  }
}

bool SameRequest(const PictureRequest& a, const PictureRequest& b) {
  return a.width == b.width && a.height == b.height && a.status_height == b.status_height &&
         a.adjust.zoom == b.adjust.zoom && a.adjust.shift_x == b.adjust.shift_x &&
         a.adjust.shift_y == b.adjust.shift_y && a.background == b.background && a.show_order == b.show_order;
}

// The picture of the project's figures, without what is painted over it (the scale, the cut, the simulation); the
// planned marks only when planned.
QImage PictureOf(const ProjectDocument& project, const PictureRequest& request, bool planned) {
  const int canvas_height = std::max(1, request.height - request.status_height);
  QImage picture(std::max(1, request.width), canvas_height, QImage::Format_RGB32);
  picture.fill(request.background);
  const ProjectView view =
      Adjusted(ViewOf(project, request.width, request.height, request.status_height), request.adjust);
  if (!view.drawable) return picture;
  QPainter painter(&picture);
  // The planned path is walked once for the marks of a picture, and not while the plan is being made.
  const SpaceMarks marks = SpaceMarksOf(project, view, planned);
  PaintSpace(painter, marks);
  if (ShowsDrawnFigures(project)) {
    painter.setPen(QPen(Colour(kGrey), 0));
    for (const auto& figure : project.drawn_figures) {
      const std::vector<TPlotPoint> pixels = PixelPolyline(*figure, view);
      DrawPolyline(painter, pixels, pixels.size());
    }
  }
  for (size_t i = 0; i < project.figures.size(); ++i) {
    if (static_cast<int64_t>(i) == project.selected_figure) continue;
    painter.setPen(QPen(Colour(FigureColour(project, i)), 0));
    const std::vector<TPlotPoint> pixels = PixelPolyline(*project.figures[i], view);
    DrawPolyline(painter, pixels, pixels.size());
  }
  // The start point and a short line towards where the wire goes first, over the figures; the selection over
  // everything else, wide.
  PaintStart(painter, marks);
  if (request.show_order && planned) PaintOrder(painter, project, view);
  const auto selected = static_cast<size_t>(project.selected_figure);
  if (project.selected_figure >= 0 && selected < project.figures.size()) {
    painter.setPen(QPen(Colour(FigureColour(project, selected)), 3));
    const std::vector<TPlotPoint> pixels = PixelPolyline(*project.figures[selected], view);
    DrawPolyline(painter, pixels, pixels.size());
  }
  return picture;
}

}  // namespace

TMDIChild::TMDIChild(const tInterfejs& texts, QWidget* parent)
    : QWidget(parent), texts_(texts), document_(LookupOf(texts)) {
  setObjectName("MDIChild");
  setAttribute(Qt::WA_DeleteOnClose);
  setMouseTracking(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addStretch(1);
  status_line_ = new QStatusBar(this);
  status_line_->setObjectName("StatusBar");
  status_line_->setSizeGripEnabled(false);
  notes_button_ = new QToolButton(status_line_);
  notes_button_->setObjectName("LoadNotes");
  notes_button_->setAutoRaise(true);
  notes_button_->setVisible(false);
  connect(notes_button_, &QToolButton::clicked, this, [this] { ShowLoadReport(); });
  status_line_->addPermanentWidget(notes_button_);
  stop_button_ = new QToolButton(status_line_);
  stop_button_->setObjectName("StopPlanning");
  stop_button_->setText(LanguageText(texts_, "Project_window", "zatrzymajPlanowanie"));
  connect(stop_button_, &QToolButton::clicked, this, [this] { StopPlanning(); });
  status_line_->addPermanentWidget(stop_button_);
  // The line is as high with its buttons as without them: the picture keeps its size when one comes or goes.
  status_line_->setMinimumHeight(status_line_->sizeHint().height());
  stop_button_->setVisible(false);
  cut_status_ = new QLabel(status_line_);
  cut_status_->setObjectName("CutStatus");
  cut_status_->setVisible(false);
  status_line_->addPermanentWidget(cut_status_);
  layout->addWidget(status_line_);
  setFocusPolicy(Qt::StrongFocus);
  ApplyReadingOrder(*this, texts_);
}

// A window taken down while it works (the program ending) lets the work end first.
TMDIChild::~TMDIChild() { work_.reset(); }

ProjectView TMDIChild::View() const {
  return Adjusted(ViewOf(document_, width(), height(), status_line_->height()), adjust_);
}

void TMDIChild::ZoomBy(double factor) {
  const int canvas_height = std::max(1, height() - status_line_->height());
  ZoomBy(factor, QPoint(width() / 2, canvas_height / 2));
}

void TMDIChild::ZoomBy(double factor, const QPoint& about) {
  if (busy_) return;
  ZoomAbout(adjust_, ViewOf(document_, width(), height(), status_line_->height()), factor, about.x(), about.y());
  ProjectChanged();
}

void TMDIChild::MoveBy(const QPoint& by) {
  if (busy_) return;
  adjust_.shift_x += by.x();
  adjust_.shift_y += by.y();
  ProjectChanged();
}

void TMDIChild::FitView() {
  if (busy_) return;
  adjust_ = ViewAdjust{};
  ProjectChanged();
}

void TMDIChild::ShowCut(const CutSnapshot& cut, const QString& status) {
  if (cut.serial != 0 && cut.serial == cut_cleared_) return;
  // A new cut takes the place of a simulation's path kept on the drawing.
  if (cut.serial != cut_.serial) ClearPath();
  cut_ = cut;
  cut_status_->setText(status);
  cut_status_->setVisible(cut.shown() && !status.isEmpty());
  update();
}

void TMDIChild::ClearCut() {
  cut_cleared_ = cut_.serial;
  cut_ = CutSnapshot{};
  cut_status_->clear();
  cut_status_->setVisible(false);
  update();
}

QString TMDIChild::CutStatusText() const { return cut_status_->isVisible() ? cut_status_->text() : QString(); }

void TMDIChild::Work(const std::function<void()>& steps) {
  busy_ = true;
  close_requested_ = false;
  stop_button_->setVisible(true);
  setCursor(Qt::BusyCursor);
  work_ = std::make_unique<OffThreadWork>(*this, [this](int panel, const std::string& text) {
    const ScopedProjectStatusLine line([this](const QString& shown) { SetStatusLine(shown); });
    CurrentOperator().SetStatusText(panel, text);
  });
  const PlanningStopWatch watch([this] { StopPlanning(); });
  struct End {
    TMDIChild& window;
    ~End() {
      window.work_.reset();
      window.busy_ = false;
      window.stop_button_->setVisible(false);
      window.unsetCursor();
      if (!window.picture_made_) window.picture_valid_ = false;
      window.picture_made_ = false;
      window.RemakeAnimation();
      window.update();
      // Asked while the work ran: carried out from the event loop, once the caller is done with the window.
      if (window.close_requested_) {
        QMetaObject::invokeMethod(
            &window,
            [&window = window] {
              if (QWidget* frame = window.parentWidget()) {
                frame->close();
              } else {
                window.close();
              }
            },
            Qt::QueuedConnection);
      }
    }
  } end{*this};
  steps();
}

bool TMDIChild::OffThread(const std::function<void(ProjectDocument&)>& work, WorkPicture picture) {
  picture_made_ = false;
  const PictureRequest wanted = PictureWanted();
  QImage made;
  auto project = std::make_unique<ProjectDocument>(std::move(document_));
  document_ = StandIn(*project, LookupOf(texts_));
  // The loop may be left before the work ends (the program ending); the call that ends it then finds it gone.
  struct Waiting {
    QEventLoop* loop = nullptr;
    bool finished = false;
  };
  const auto waiting = std::make_shared<Waiting>();
  QEventLoop loop;
  waiting->loop = &loop;
  work_->Start(
      [&work, &worked = *project, &made, wanted, picture, &off = *work_] {
        work(worked);
        // A large drawing takes a second to draw: not on the windows' thread.
        if (picture != WorkPicture::kNone && !off.cancelled()) {
          made = PictureOf(worked, wanted, picture == WorkPicture::kPlanned);
        }
      },
               [waiting] {
                 waiting->finished = true;
                 if (waiting->loop != nullptr) waiting->loop->quit();
               });
  {
    // An event loop inside the program's work, as a box's is: a machine operation begun from it while another
    // holds the machine is refused.
    const NestedLoop nested(CurrentOperator());
    loop.exec();
  }
  waiting->loop = nullptr;
  if (!waiting->finished) work_->Cancel();
  struct TakeBack {
    TMDIChild& window;
    std::unique_ptr<ProjectDocument>& project;
    ~TakeBack() { window.document_ = std::move(*project); }
  } take_back{*this, project};
  work_->Join();
  if (!made.isNull() && SameRequest(wanted, PictureWanted())) {
    picture_ = std::move(made);
    picture_valid_ = true;
    picture_made_ = true;
  }
  return !work_->cancelled();
}

void TMDIChild::ShowBeforeWork() {
  RemakeAnimation();
  // The window's size changed while the drawing was read.
  if (!picture_made_) RenderPicture();
  picture_made_ = false;
  update();
}

void TMDIChild::StopPlanning() {
  if (work_ != nullptr) work_->StopPlanning();
}

void TMDIChild::closeEvent(QCloseEvent* event) {
  if (!busy_) {
    QWidget::closeEvent(event);
    return;
  }
  close_requested_ = true;
  if (work_ != nullptr) work_->Cancel();
  event->ignore();
}

bool TMDIChild::Load(const std::string& file_name, int pen_filter) {
  return LoadAndPlan(file_name,
                     [&](ProjectDocument& project) { return project.Load(file_name, pen_filter); });
}

bool TMDIChild::LoadFigures(FigureList drawing, const std::string& caption) {
  return LoadAndPlan(caption, [&](ProjectDocument& project) { return project.LoadFigures(std::move(drawing)); });
}

bool TMDIChild::LoadAndPlan(const std::string& caption, const std::function<bool(ProjectDocument&)>& load) {
  if (busy_) return false;
  setWindowTitle(QString::fromStdString(caption));
  bool loaded = false;
  Work([&] {
    // The drawing is shown before it is planned, so a long plan runs in front of it.
    const bool ended = OffThread(
        [&](ProjectDocument& project) {
          project.plan_after_load = false;
          loaded = load(project);
        },
        WorkPicture::kDrawing);
    UpdateNotes();
    loaded = loaded && ended;
    if (!loaded) return;
    ShowBeforeWork();
    OffThread([](ProjectDocument& project) { project.ciecie(); }, WorkPicture::kPlanned);
  });
  return loaded && !close_requested_;
}

void TMDIChild::TakeProject(ProjectDocument&& project, const std::string& caption) {
  if (busy_) return;
  setWindowTitle(QString::fromStdString(caption));
  document_ = std::move(project);
  UpdateNotes();
  ProjectChanged();
}

void TMDIChild::ciecie() {
  if (busy_) return;
  Work([this] { OffThread([](ProjectDocument& project) { project.ciecie(); }, WorkPicture::kPlanned); });
}

void TMDIChild::ChangeKerf(const KerfSettings& settings) {
  if (busy_ || !CanCompensateAgain(document_)) return;
  Work([&] {
    // As after a load: the compensated drawing is shown before it is planned.
    document_.plan_after_load = false;
    if (!OffThread([&](ProjectDocument& project) { project.ChangeKerf(settings.kerf_mm, settings.scale_percent); },
                   WorkPicture::kDrawing)) {
      return;
    }
    UpdateNotes();
    ShowBeforeWork();
    OffThread([](ProjectDocument& project) { project.ciecie(); }, WorkPicture::kPlanned);
  });
}

void TMDIChild::RemakeAnimation() {
  // A running simulation, and the path one left, follow the new mapping, as far along their path as before.
  if (!simulating() && !document_.show_path) return;
  const int64_t total = animation_.total_ms();
  const double share = total > 0 ? static_cast<double>(animation_elapsed_ms_) / static_cast<double>(total) : 1.0;
  animation_ = PathAnimation(PlannedStops(document_), View(), animation_pause_ms_);
  animation_elapsed_ms_ = static_cast<int64_t>(std::llround(share * static_cast<double>(animation_.total_ms())));
}

void TMDIChild::ProjectChanged() {
  // The stand-in has no figures: the picture made before the work stays.
  if (busy_) {
    update();
    return;
  }
  picture_valid_ = false;
  RemakeAnimation();
  update();
}

void TMDIChild::SetStatusLine(const QString& text) {
  if (text.isEmpty()) {
    status_line_->clearMessage();
  } else {
    status_line_->showMessage(text);
  }
}

QString TMDIChild::StatusText() const {
  return status_line_->currentMessage();
}

int TMDIChild::NoteCount() const {
  return static_cast<int>(LoadReportLines(document_).size());
}

void TMDIChild::UpdateNotes() {
  const int count = NoteCount();
  notes_button_->setText(LanguageText(texts_, "Project_window", "uwagiWczytania") + QString::number(count));
  notes_button_->setVisible(count > 0);
}

void TMDIChild::ShowLoadReport() {
  LoadReportDialog report(texts_, windowTitle(), LoadReportLines(document_), this);
  report.exec();
}

void TMDIChild::RenderPicture() {
  picture_ = PictureOf(document_, PictureWanted(), !busy_);
  picture_valid_ = true;
}

PictureRequest TMDIChild::PictureWanted() const {
  PictureRequest request;
  request.width = width();
  request.height = height();
  request.status_height = status_line_->height();
  request.adjust = adjust_;
  request.background = palette().color(QPalette::Window);
  request.show_order = show_order_;
  return request;
}

void TMDIChild::PaintScaleAndSize(QPainter& painter, const ProjectView& view) {
  // At the top left, where the fitted drawing leaves a strip, in the colour of the work area: its text's edges
  // blend into no colour the picture gives a meaning to.
  const int top = kScaleBarMargin + painter.fontMetrics().ascent() / 2;
  const ScaleBar bar = ScaleBarOf(view, kScaleBarMost);
  const QString size = QString::fromStdString(ProjectSizeText(document_, LocaleDecimalSeparator()));
  painter.setPen(QPen(Colour(kWorkAreaColour), 1));
  const int baseline = top + painter.fontMetrics().ascent() / 2;
  int left = kScaleBarMargin;
  if (bar.pixels > 0) {
    painter.drawLine(left, top, left + bar.pixels, top);
    painter.drawLine(left, top - 4, left, top + 4);
    painter.drawLine(left + bar.pixels, top - 4, left + bar.pixels, top + 4);
    const QString length = QString::fromStdString(
        DecimalText(bar.millimetres, bar.millimetres < 1.0 ? 3 : 0, LocaleDecimalSeparator()) + " mm");
    painter.drawText(left + bar.pixels + 6, baseline, length);
    left += bar.pixels + 6 + painter.fontMetrics().horizontalAdvance(length) + 16;
  }
  painter.drawText(left, baseline, size);
}

void TMDIChild::PaintCut(QPainter& painter, const ProjectView& view) {
  const CutOverlay overlay = CutOverlayOf(cut_, view);
  if (!overlay.shown) return;
  painter.setPen(QPen(Colour(kCutColour), 3));
  DrawPolyline(painter, overlay.cut, overlay.cut.size());
  painter.setPen(QPen(Colour(kBlack), 1));
  painter.setBrush(Colour(kWireColour));
  painter.drawEllipse(At(overlay.wire), kWireMark, kWireMark);
  painter.setBrush(Qt::NoBrush);
}

void TMDIChild::paintEvent(QPaintEvent*) {
  const int canvas_height = std::max(1, height() - status_line_->height());
  // While the window works the picture made before stays, at the size it was made for.
  const bool fits = picture_.width() == std::max(1, width()) && picture_.height() == canvas_height;
  if (!picture_valid_ || (!fits && !busy_)) RenderPicture();
  QPainter painter(this);
  if (dragging_) {
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.drawImage(drag_by_, picture_);
    return;
  }
  painter.drawImage(0, 0, picture_);
  const ProjectView view = View();
  if (view.drawable) {
    PaintScaleAndSize(painter, view);
    PaintCut(painter, view);
  }
  if (!document_.show_path || animation_.pixels().empty()) return;
  painter.setPen(QPen(Colour(kRed), 0));
  const size_t reached = animation_.ReachedAt(animation_elapsed_ms_);
  std::vector<TPlotPoint> drawn(animation_.pixels().begin(),
                                animation_.pixels().begin() + static_cast<std::ptrdiff_t>(reached));
  const TPlotPoint pen = animation_.PenAt(animation_elapsed_ms_);
  if (drawn.back() != pen) drawn.push_back(pen);
  DrawPolyline(painter, drawn, drawn.size());
}

void TMDIChild::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ProjectChanged();
}

void TMDIChild::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    if (information_requested) information_requested();
    return;
  }
  if (busy_) return;
  if (event->button() == Qt::MiddleButton || event->button() == Qt::LeftButton) {
    drag_pressed_ = true;
    dragging_ = false;
    drag_from_ = event->position().toPoint();
  }
  if (event->button() != Qt::LeftButton) return;
  const QPoint click = event->position().toPoint();
  document_.selected_figure = FigureAt(document_, View(), TPlotPoint{click.x(), click.y()});
  ProjectChanged();
  ShowSelection();
  if (document_.selected_figure < 0) return;
  const std::string caption =
      texts_.GetText("Project_window", "wybranaFiguraNr") + std::to_string(document_.selected_figure);
  const Qt::KeyboardModifiers all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
  if ((event->modifiers() & all) == all) {
    const tfigura& figure = *document_.figures[static_cast<size_t>(document_.selected_figure)];
    CurrentOperator().ShowMessageBox(
        PointListText(figure, LocaleDecimalSeparator(), texts_.GetText("Project_window", "dalszePunkty")),
        false, caption);
  }
}

void TMDIChild::ShowSelection() {
  // The selected figure's number stays in the status line while it is selected.
  if (document_.selected_figure < 0) {
    SetStatusLine("");
    return;
  }
  SetStatusLine(QString::fromStdString(texts_.GetText("Project_window", "wybranaFiguraNr") +
                                       std::to_string(document_.selected_figure)));
}

void TMDIChild::mouseMoveEvent(QMouseEvent* event) {
  if (drag_pressed_ && (event->buttons() & (Qt::LeftButton | Qt::MiddleButton))) {
    const QPoint by = event->position().toPoint() - drag_from_;
    if (!dragging_ && by.manhattanLength() >= kDragStart) dragging_ = true;
    if (dragging_) {
      drag_by_ = by;
      update();
      return;
    }
  }
  if ((event->buttons() & Qt::LeftButton) && document_.selected_figure >= 0) update();
}

void TMDIChild::mouseReleaseEvent(QMouseEvent* event) {
  drag_pressed_ = false;
  if (!dragging_) return;
  dragging_ = false;
  drag_by_ = QPoint();
  MoveBy(event->position().toPoint() - drag_from_);
}

void TMDIChild::wheelEvent(QWheelEvent* event) {
  // A notch of a wheel is 120; a touchpad turns by less, and zooms by as much less.
  const int turn = event->angleDelta().y();
  if (turn == 0) return;
  ZoomBy(std::pow(kZoomStep, turn / 120.0), event->position().toPoint());
  event->accept();
}

void TMDIChild::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      ZoomBy(kZoomStep);
      return;
    case Qt::Key_Minus:
      ZoomBy(1.0 / kZoomStep);
      return;
    case Qt::Key_Home:
      FitView();
      return;
    case Qt::Key_Escape:
      ClearPath();
      return;
    case Qt::Key_O:
      ShowOrder(!show_order_);
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void TMDIChild::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && information_requested) information_requested();
}

void TMDIChild::StartSimulation(int64_t pause_ms, std::function<void(bool stopped)> finished) {
  if (simulating()) return;
  animation_finished_ = std::move(finished);
  animation_pause_ms_ = pause_ms;
  document_.abort_requested = false;
  // An ended cut gives way to the simulation; one still under way stays shown.
  if (cut_.phase != CutPhase::kRunning && cut_.phase != CutPhase::kPaused) ClearCut();
  animation_ = PathAnimation(PlannedStops(document_), View(), pause_ms);
  document_.show_path = true;
  animation_tick_ms_ = CurrentClock().NowMs();
  animation_elapsed_ms_ = 0;
  simulation_speed_ = 1;
  simulation_paused_ = false;
  animation_timer_ = new QTimer(this);
  connect(animation_timer_, &QTimer::timeout, this, [this] { AnimationTick(); });
  animation_input_ = std::make_unique<InputInterceptor>(
      [this](PendingInput input) {
        if (!IsAbortingPress(input)) return;
        if (document_.abort_requested) return;
        document_.abort_requested = true;
        // Not from inside the interceptor's own filter call: the interceptor ends with the simulation.
        QMetaObject::invokeMethod(
            this, [this] { FinishSimulation(); }, Qt::QueuedConnection);
      },
      [this](int key) { return SimulationKey(key); });
  animation_timer_->start(kAnimationTickMs);
  AnimationTick();
}

bool TMDIChild::SimulationKey(int key) {
  const auto it = std::find(std::begin(kSimulationSpeeds), std::end(kSimulationSpeeds), simulation_speed_);
  const auto at = static_cast<size_t>(it - std::begin(kSimulationSpeeds));
  switch (key) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      if (at + 1 < std::size(kSimulationSpeeds)) simulation_speed_ = kSimulationSpeeds[at + 1];
      break;
    case Qt::Key_Minus:
      if (at > 0 && at < std::size(kSimulationSpeeds)) simulation_speed_ = kSimulationSpeeds[at - 1];
      break;
    case Qt::Key_P:
      AnimationTick();
      simulation_paused_ = !simulation_paused_;
      break;
    case Qt::Key_Right:
      // One stop on, and there it waits.
      AnimationTick();
      simulation_paused_ = true;
      animation_elapsed_ms_ = animation_.NextStopMs(animation_elapsed_ms_);
      break;
    default:
      return false;
  }
  ShowSimulationState();
  // The step may have reached the end: the tick ends the simulation then (not from inside the filter's call).
  QMetaObject::invokeMethod(
      this, [this] { AnimationTick(); }, Qt::QueuedConnection);
  return true;
}

void TMDIChild::ShowSimulationState() {
  const int64_t total = animation_.total_ms();
  const int64_t percent = total > 0 ? animation_elapsed_ms_ * 100 / total : 100;
  std::string line = texts_.GetText("Cut_view", "symulacja") + " " + std::to_string(percent) + "% \xC3\x97" +
                     std::to_string(simulation_speed_);
  if (simulation_paused_) line += " \xC2\xB7 " + texts_.GetText("Cut_view", "symulacjaPauza");
  line += " \xC2\xB7 " + texts_.GetText("Cut_view", "symulacjaKlawisze");
  SetStatusLine(QString::fromStdString(line));
}

void TMDIChild::AnimationTick() {
  if (!simulating()) return;
  const int64_t now = CurrentClock().NowMs();
  if (!simulation_paused_) animation_elapsed_ms_ += std::max<int64_t>(now - animation_tick_ms_, 0) * simulation_speed_;
  animation_tick_ms_ = now;
  animation_elapsed_ms_ = std::min(animation_elapsed_ms_, animation_.total_ms());
  ShowSimulationState();
  update();
  if (animation_elapsed_ms_ >= animation_.total_ms()) FinishSimulation();
}

void TMDIChild::FinishSimulation() {
  if (!simulating()) return;
  // The timer may be the caller: it goes once its tick is over.
  animation_timer_->stop();
  animation_timer_->deleteLater();
  animation_timer_ = nullptr;
  animation_input_.reset();
  // The path drawn so far stays until the operator clears it.
  SetStatusLine("");
  update();
  if (auto finished = std::move(animation_finished_)) finished(document_.abort_requested);
}

void TMDIChild::ShowOrder(bool show) {
  if (busy_) return;
  show_order_ = show;
  ProjectChanged();
}

void TMDIChild::ClearPath() {
  if (simulating() || !document_.show_path) return;
  document_.show_path = false;
  update();
}

}  // namespace varnholt
