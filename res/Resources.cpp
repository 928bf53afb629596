#include "framework/controls/Resources.h"
#include "framework/controls/ControlStyles.h"
#include "framework/window/CWnd.h"
#include "res/IconImages.h"
#include "res/ResourceIds.h"

namespace {

CString T(const char* utf8)
{
    return CString::FromUtf8(utf8);
}

void RegisterStrings()
{
    AfxRegisterString(
        IDR_MAINFRAME, T("Ostrelle 2.0512\n\nTarnwick\n\n\nTarnwick.Document\nTarnwick  Document"));
    AfxRegisterString(AFX_IDS_APP_TITLE, T("Brisquel"));
    AfxRegisterString(AFX_IDS_IDLEMESSAGE, T("就绪"));
    AfxRegisterString(AFX_IDP_INVALID_FILENAME, T("无法使用这个文件名！\n\n%s"));
    AfxRegisterString(ID_APP_EXIT, T("退出应用程序\n退出"));
    AfxRegisterString(ID_VIEW_STATUS_BAR, T("显示或隐藏状态栏\n显隐状态栏"));
    AfxRegisterString(ID_APP_ABOUT, T("显示程序信息，版本号和版权\n关于"));
    AfxRegisterString(ID_OPEN_URL, T("在浏览器中打开对方网站"));
    AfxRegisterString(ID_RECHECK_ROWS, T("重新检查选中的网址"));
    AfxRegisterString(ID_COPY_URLS, T("把选中的网址复制到剪贴板"));
    AfxRegisterString(ID_RECHECK_FAILED, T("重新检查所有无效和超时的网址"));
    AfxRegisterString(ID_FILE_CHECK_REPORT, T("把每个网址的检查结果导出为 CSV 文件\n导出检查报告"));
    AfxRegisterString(ID_FILE_OPEN_REPORT, T("打开导出的检查报告，接着检查其中未检查的网址\n打开检查报告"));
}

void RegisterMenus()
{
    AfxRegisterMenu(IDR_MAINFRAME,
        {
            { T("文件(&F)"), 0,
                { { T("打开检查报告(&O)..."), ID_FILE_OPEN_REPORT, {} },
                    { T("导出检查报告(&R)..."), ID_FILE_CHECK_REPORT, {} }, { CString(), 0, {} },
                    { T("退出(&X)"), ID_APP_EXIT, {} } } },
            { T("查看(&V)"), 0,
                { { T("状态栏(&S)"), ID_VIEW_STATUS_BAR, {} }, { T("侧边拦(&L)"), ID_VIEW_SIDEBAR, {} } } },
            { T("帮助(&H)"), 0, { { T("关于(&A)..."), ID_APP_ABOUT, {} } } },
        });
    AfxRegisterMenu(IDR_LIST_MENU,
        {
            { T("列表菜单"), 0,
                { { T("打开网页"), ID_OPEN_URL, {} }, { T("重新检查"), ID_RECHECK_ROWS, {} },
                    { T("重新检查失败的网址"), ID_RECHECK_FAILED, {} },
                    { T("复制网址"), ID_COPY_URLS, {} } } },
        });
}

void RegisterAboutBox()
{
    DialogTemplate about;
    about.style = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    about.caption = T("关于");
    about.cx = 235;
    about.cy = 56;
    about.fontFace = T("宋体");
    about.pointSize = 9;
    about.items = {
        { IDOK, WC_BUTTON, T("确定"), BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 178, 7, 50, 14 },
        { IDC_STATIC, WC_STATIC, CString(), SS_ICON, 11, 17, 20, 20 },
        { IDC_STATIC, WC_STATIC, T("Ostrelle 2.0512"), SS_LEFT, 40, 10, 119, 8 },
        { IDC_STATIC, WC_STATIC, T("Brisquel 项目"), SS_LEFT, 40, 25, 119, 8 },
    };
    AfxRegisterDialog(IDD_ABOUTBOX, std::move(about));
}

void RegisterSidePanel()
{
    constexpr DWORD edit = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
    constexpr DWORD button = BS_PUSHBUTTON | WS_TABSTOP;
    constexpr DWORD label = SS_RIGHT | WS_GROUP;
    DialogTemplate panel;
    panel.style = WS_CHILD | DS_SETFONT;
    panel.cx = 225;
    panel.cy = 361;
    panel.fontFace = T("宋体");
    panel.pointSize = 9;
    panel.items = {
        { IDC_IMPORT_PATH, WC_EDIT, CString(), edit, 61, 28, 127, 14 },
        { IDC_BROWSE, WC_BUTTON, T("..."), button, 190, 28, 16, 14 },
        { IDC_IGNORE_LIST, WC_EDIT, CString(), edit, 61, 45, 145, 14 },
        { IDC_THREAD_COUNT, WC_EDIT, CString(), edit | ES_CENTER, 61, 62, 64, 14 },
        { IDC_IMPORT, WC_BUTTON, T("导入网址"), button, 99, 105, 59, 14 },
        { IDC_START_STOP, WC_BUTTON, T("开始查询"), button, 161, 105, 59, 14 },
        { IDC_PURGE_DUPLICATES, WC_BUTTON, T("清理重复"), button, 7, 159, 37, 14 },
        { IDC_PURGE_INVALID, WC_BUTTON, T("清理无效"), button, 51, 159, 37, 14 },
        { IDC_EXPORT_INVALID, WC_BUTTON, T("导出无效"), button, 95, 159, 37, 14 },
        { IDC_EXPORT_VALID, WC_BUTTON, T("导出有效"), button, 139, 159, 37, 14 },
        { IDC_EXPORT_ALL, WC_BUTTON, T("导出所有"), button, 183, 159, 37, 14 },
        { IDC_IMPORT_LABEL, WC_STATIC, T("导入文件:"), label, 15, 30, 44, 8 },
        { IDC_STATIC, WC_STATIC, T("*"), SS_LEFT | WS_GROUP, 210, 31, 8, 8 },
        { IDC_STATIC, WC_BUTTON, T("运行参数"), BS_GROUPBOX, 6, 7, 214, 86 },
        { IDC_STATIC, WC_STATIC, T("线程数量:"), label, 22, 64, 37, 8 },
        { IDC_STATIC, WC_STATIC, T("列表操作，"), label, 6, 148, 41, 8 },
        { IDC_STATIC, WC_STATIC, T("忽略检测:"), label, 22, 47, 37, 8 },
        { IDC_STATIC, WC_STATIC, T("（1~10之间）"), label, 131, 67, 49, 8 },
    };
    AfxRegisterDialog(IDD_SIDE_PANEL, std::move(panel));
}

} // namespace

void RegisterResources()
{
    AfxRegisterIcon(IDR_MAINFRAME, ApplicationIconImages());
    RegisterStrings();
    RegisterMenus();
    RegisterAboutBox();
    RegisterSidePanel();
}
