#include "document/LanguageTexts.h"

namespace {

// Entries 23..43 are menu texts and tooltips of the main window's commands, 44/45 the OK and
// Cancel captions of every dialog, the rest captions and messages.
constexpr LanguageText kEnglish[] = {
    {0, "Zentravo"},
    {9, "Apply"},
    {15, "Automatic"},
    {23, "Help"},
    {24, "About Zentravo"},
    {25, "New Project"},
    {26, "Open Project"},
    {27, "Save Project"},
    {28, "Exit"},
    {29, "Delete"},
    {30, "Undo"},
    {31, "Redo"},
    {32, "Bring Layer to Front"},
    {33, "Send Layer to Back"},
    {34, "Bring Layer Forward"},
    {35, "Send Layer Backward"},
    {36, "Animation Properties"},
    {37, "First Frame"},
    {38, "Previous Frame"},
    {39, "Preview Animation"},
    {40, "Stop Preview"},
    {41, "Next Frame"},
    {42, "Last Frame"},
    {43, "Export Animation"},
    {44, "OK"},
    {45, "Cancel"},
    {51, "The current project has been modified. Do you want to save it first?"},
    {52, "Please select a project."},
    {57, "Untitled"},
    {100, "Cannot create a folder for this project name. Please choose another name."},
    {102, "Please enter a project name."},
    {103, "A project with this name already exists. Please choose another name."},
    {104, "Please select a project to delete."},
    {105, "Are you sure to delete the selected project?"},
    {107, "More Colors..."},
    {114, "Create"},
    {120, "Frame Rate"},
    {121, "Starting Angle"},
    {122, "Opacity"},
};

constexpr LanguageText kChinese[] = {
    {0, "Zentravo"},
    {9, "应用"},
    {15, "自动"},
    {23, "帮助"},
    {24, "关于 Zentravo"},
    {25, "新建项目"},
    {26, "打开项目"},
    {27, "保存项目"},
    {28, "退出"},
    {29, "删除"},
    {30, "撤销"},
    {31, "重做"},
    {32, "移到最前"},
    {33, "移到最后"},
    {34, "上移一层"},
    {35, "下移一层"},
    {36, "动画属性"},
    {37, "第一帧"},
    {38, "上一帧"},
    {39, "预览动画"},
    {40, "停止预览"},
    {41, "下一帧"},
    {42, "最后一帧"},
    {43, "导出动画"},
    {44, "确定"},
    {45, "取消"},
    {51, "当前项目已修改，是否先保存？"},
    {52, "请选择一个项目。"},
    {57, "未命名项目"},
    {100, "无法用这个名称创建项目文件夹，请换一个名称。"},
    {102, "请输入项目名称。"},
    {103, "已存在同名项目，请换一个名称。"},
    {104, "请选择要删除的项目。"},
    {105, "确定要删除所选项目吗？"},
    {107, "更多颜色..."},
    {114, "创建"},
    {120, "帧速率"},
    {121, "起始角度"},
    {122, "不透明度"},
};

} // namespace

std::span<const LanguageText> LanguageTexts::english() {
    return kEnglish;
}
std::span<const LanguageText> LanguageTexts::chinese() {
    return kChinese;
}
