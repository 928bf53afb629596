// The program on a screen of twice the pixel density: this test program runs
// with the toolkit scaled by 2 (the build sets QT_SCALE_FACTOR for it). Laid
// out in logical pixels, the side bar, the form and the status bar keep the
// geometry they have at scale 1, drawn with twice the pixels each way, and
// the mouse drags by logical pixels. The scale-1 reference is this same test,
// run by itself once more at scale 1.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include "app/CMainFrame.h"
#include "app/CVelmoraApp.h"
#include "app/Globals.h"
#include "framework/controls/private/StatusBarWidget.h"
#include "framework/window/private/NonClientWidget.h"
#include "tests/dockbar/ShownMainFrame.h"
#include "tests/dockbar/ToolkitMouse.h"
#include "tests/framework/GuiPump.h"

namespace {

// Set in the reference run: the folder it leaves its findings in.
constexpr const char* kReferenceFolder = "BRISQUEL_HIDPI_REFERENCE";

CRect Screen(CWnd* wnd)
{
    CRect rc;
    wnd->GetWindowRect(&rc);
    return rc;
}

std::ostream& operator<<(std::ostream& out, const QRect& r)
{
    return out << r.x() << ',' << r.y() << ' ' << r.width() << 'x' << r.height();
}

QRect ToQRect(const CRect& r)
{
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// Every place that must not depend on the scale, one line each; places on
// the screen are taken from the frame's client area, since the window
// system's frame around it is as many device pixels thick at any scale.
std::string LogicalGeometry(CMainFrame& frame)
{
    std::ostringstream out;
    POINT frameClient { 0, 0 };
    frame.ClientToScreen(&frameClient);
    const auto inFrame = [&](CRect rc) {
        rc.OffsetRect(-frameClient.x, -frameClient.y);
        return ToQRect(rc);
    };
    CSideBar& bar = frame.SideBar();
    const CRect w = Screen(&bar);
    out << "bar " << inFrame(w) << '\n';
    CRect client;
    bar.GetClientRect(&client);
    POINT barClient { 0, 0 };
    bar.ClientToScreen(&barClient);
    client.OffsetRect(barClient.x, barClient.y);
    out << "bar client " << inFrame(client) << '\n';
    out << "close button " << ToQRect(bar.m_btnClose.GetButtonRect()) << '\n';
    CRect edge;
    bar.CalcEdgeRect(w, HTRIGHT, edge);
    out << "right edge " << inFrame(edge) << '\n';
    const QWidget* form = WidgetOf(&bar.Form());
    const QFontMetrics fm(form->font());
    out << "form font " << fm.height() << ' ' << fm.averageCharWidth() << '\n';
    for (const QWidget* control : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        out << control->metaObject()->className() << ' ' << control->geometry() << '\n';
    for (const QRect& pane : dynamic_cast<StatusBarWidget*>(WidgetOf(&frame.StatusBar()))->PaneRects())
        out << "status pane " << pane << '\n';
    out << "list " << inFrame(Screen(frame.GetActiveView())) << '\n';
    return out.str();
}

// The bar's non-client area as it draws it now.
QImage BarSurface(CSideBar& bar)
{
    bar.SendMessage(WM_NCPAINT);
    return dynamic_cast<NonClientWidget*>(WidgetOf(&bar))->Surface();
}

struct Reference {
    std::string geometry;
    QImage bar;
};

// Runs this test once more at scale 1 and reads what it found.
Reference RunAtScaleOne(const QTemporaryDir& folder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_SCALE_FACTOR"));
    env.insert(QString::fromLatin1(kReferenceFolder), folder.path());
    const ::testing::TestInfo* self = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcess run;
    run.setProcessEnvironment(env);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(QCoreApplication::applicationFilePath(),
        { QStringLiteral("--gtest_filter=%1.%2").arg(self->test_suite_name(), self->name()) });
    Reference reference;
    const bool finished = run.waitForFinished(60000);
    EXPECT_TRUE(finished && run.exitCode() == 0) << run.readAll().toStdString();
    QFile geometry(QDir(folder.path()).filePath(QStringLiteral("geometry.txt")));
    if (geometry.open(QIODevice::ReadOnly))
        reference.geometry = geometry.readAll().toStdString();
    reference.bar.load(QDir(folder.path()).filePath(QStringLiteral("bar.png")));
    return reference;
}

} // namespace

class HighDpi : public ShownMainFrame {
protected:
    void SetUp() override
    {
        ShownMainFrame::SetUp();
        SetCursorPos(900, 650); // over the list, away from the close button
        AfxPumpPendingMessages();
        ProcessToolkitEvents();
    }
};

TEST_F(HighDpi, TheSideBarAndTheFormKeepTheirLogicalGeometryWithTwiceThePixelsAndDragByLogicalPixels)
{
    CSideBar& bar = m_frame->SideBar();
    const std::string geometry = LogicalGeometry(*m_frame);
    const QImage surface = BarSurface(bar);

    if (const char* folder = std::getenv(kReferenceFolder)) {
        QFile out(QDir(QString::fromLocal8Bit(folder)).filePath(QStringLiteral("geometry.txt")));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(geometry.data(), static_cast<qint64>(geometry.size()));
        ASSERT_TRUE(surface.save(QDir(QString::fromLocal8Bit(folder)).filePath(QStringLiteral("bar.png"))));
        return;
    }
    ASSERT_EQ(qApp->devicePixelRatio(), 2.0) << "run with QT_SCALE_FACTOR=2";

    const QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const Reference reference = RunAtScaleOne(folder);
    EXPECT_EQ(geometry, reference.geometry);

    // Border, sizing edge, gripper ridges and close cross: the scale-1
    // drawing with every pixel doubled, none of it at half size or clipped.
    ASSERT_FALSE(reference.bar.isNull());
    EXPECT_EQ(surface.devicePixelRatio(), 2.0);
    QImage doubled
        = reference.bar.scaled(reference.bar.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation)
              .convertToFormat(surface.format());
    doubled.setDevicePixelRatio(surface.devicePixelRatio());
    EXPECT_TRUE(surface == doubled) << "surface " << surface.width() << 'x' << surface.height()
                                    << ", scale 1 doubled " << doubled.width() << 'x' << doubled.height();

    // A drag of the sizing edge with the toolkit's mouse: the tracker follows
    // the pointer in logical pixels, its halftone in 2-pixel squares.
    using namespace toolkit_mouse;
    const int startWidth = Screen(&bar).Width();
    CRect edge;
    bar.CalcEdgeRect(Screen(&bar), HTRIGHT, edge);
    const CPoint start((edge.left + edge.right) / 2, (edge.top + edge.bottom) / 2);
    Move(&bar, start);
    Press(&bar, start);
    Move(&bar, CPoint(start.x + 40, start.y));
    const std::vector<CRect> trackers = AfxGetInvertedRects(m_frame);
    ASSERT_EQ(trackers.size(), 1u);
    EXPECT_EQ(trackers[0].left, edge.left + 40);
    EXPECT_EQ(trackers[0].Width(), edge.Width());
    QWidget* window = WidgetOf(m_frame)->window();
    // Halfway down, over the empty list: the pattern on plain white.
    const QPoint topLeft
        = window->mapFromGlobal(QPoint(trackers[0].left, (trackers[0].top + trackers[0].bottom) / 2));
    const QImage shown = window->grab(QRect(topLeft, QSize(trackers[0].Width(), 40))).toImage();
    ASSERT_EQ(shown.size(), QSize(trackers[0].Width() * 2, 80));
    bool squaresOfTwo = true;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x)
            squaresOfTwo = squaresOfTwo && shown.pixel(x, y) == shown.pixel(x & ~1, y & ~1);
    }
    EXPECT_TRUE(squaresOfTwo);
    EXPECT_NE(shown.pixel(0, 0), shown.pixel(2, 0));
    Release(&bar, CPoint(start.x + 40, start.y));
    Idle();
    EXPECT_EQ(Screen(&bar).Width(), startWidth + 40);
    EXPECT_EQ(bar.m_sizeVert.cx, startWidth + 40);
}
