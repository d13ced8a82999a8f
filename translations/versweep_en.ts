<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>versweep::CheckListModel</name>
    <message>
        <source>比 %1 旧</source>
        <translation>Older than %1</translation>
    </message>
    <message>
        <source>标题在黑名单中</source>
        <translation>Its title is on the black list</translation>
    </message>
    <message>
        <source>标题在白名单中</source>
        <translation>Its title is on the white list</translation>
    </message>
    <message>
        <source>保留为该标题的最新版本</source>
        <translation>Kept as the newest version of its title</translation>
    </message>
    <message>
        <source>名称中没有版本号</source>
        <translation>No version in its name</translation>
    </message>
    <message>
        <source>该标题唯一的版本</source>
        <translation>The only version of its title</translation>
    </message>
    <message>
        <source>按一种读法是最新版本，保留</source>
        <translation>Newest by one reading of its version, so kept</translation>
    </message>
    <message>
        <source>空目录，由命令选中</source>
        <translation>Empty folder, checked by the command</translation>
    </message>
    <message>
        <source>由组标签 %1 选中</source>
        <translation>Checked with group tag %1</translation>
    </message>
    <message>
        <source>由组标签 %1 取消选中</source>
        <translation>Unchecked with group tag %1</translation>
    </message>
    <message>
        <source>手动选中</source>
        <translation>Checked by hand</translation>
    </message>
    <message>
        <source>手动取消选中</source>
        <translation>Unchecked by hand</translation>
    </message>
    <message>
        <source>该标题的版本号有两种读法</source>
        <translation>The versions of this title read two ways</translation>
    </message>
    <message>
        <source>文件夹标题</source>
        <translation>Folder header</translation>
    </message>
    <message>
        <source>文件夹标题，已选中 %1</source>
        <translation>Folder header, %1 checked</translation>
    </message>
</context>
<context>
    <name>versweep::MainWindow</name>
    <message>
        <source>删除确认</source>
        <translation>Confirm deletion</translation>
    </message>
    <message numerus="yes">
        <source>您是否确认删除选中的项目(%n个项目)！</source>
        <translation>
            <numerusform>Move %n checked entry to the trash?</numerusform>
            <numerusform>Move %n checked entries to the trash?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>有 %n 个项目未能恢复。</source>
        <translation>
            <numerusform>%n entry could not be restored.</numerusform>
            <numerusform>%n entries could not be restored.</numerusform>
        </translation>
    </message>
    <message>
        <source>保留版本数</source>
        <translation>Versions to keep</translation>
    </message>
    <message>
        <source>每个标题保留最新的几个版本：</source>
        <translation>Newest versions to keep of each title:</translation>
    </message>
    <message>
        <source>由 Versweep 开发者编写。</source>
        <translation>Written by the Versweep developers.</translation>
    </message>
    <message>
        <source>列出文件</source>
        <translation>List files</translation>
    </message>
    <message>
        <source>只列出可能重复的项目</source>
        <translation>Duplicates only</translation>
    </message>
    <message>
        <source>选择整理路径</source>
        <translation>Folder…</translation>
    </message>
    <message>
        <source>删除选中项目</source>
        <translation>To Trash</translation>
    </message>
    <message>
        <source>退出程序</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>选择路径</source>
        <translation>Choose a folder</translation>
    </message>
    <message>
        <source>选中所有空目录</source>
        <translation>Check all empty folders</translation>
    </message>
    <message>
        <source>撤销上次删除</source>
        <translation>Undo Last Move to Trash</translation>
    </message>
    <message>
        <source>保留最新版本数…</source>
        <translation>Keep Newest Versions…</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message numerus="yes">
        <source>将%n个项目(%1)移到回收站。</source>
        <translation>
            <numerusform>Moves %n entry (%1) to the trash.</numerusform>
            <numerusform>Moves %n entries (%1) to the trash.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>将%n个项目(至少 %1)移到回收站。</source>
        <translation>
            <numerusform>Moves %n entry (at least %1) to the trash.</numerusform>
            <numerusform>Moves %n entries (at least %1) to the trash.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>有 %n 个项目未能按要求移到回收站。</source>
        <translation>
            <numerusform>%n entry did not go to the trash as asked.</numerusform>
            <numerusform>%n entries did not go to the trash as asked.</numerusform>
        </translation>
    </message>
    <message>
        <source>项目已移到回收站，但“撤销上次删除”无法取回它们。</source>
        <translation>The entries went to the trash, but “Undo Last Move to Trash” cannot bring them back.</translation>
    </message>
    <message>
        <source>撤销记录：%1</source>
        <translation>Undo record: %1</translation>
    </message>
    <message numerus="yes">
        <source>已将 %n 个项目移到回收站，没有剩下要清理的项目。</source>
        <translation>
            <numerusform>Moved %n entry to the trash; nothing is left to clean.</numerusform>
            <numerusform>Moved %n entries to the trash; nothing is left to clean.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>已将 %n 个项目移到回收站。</source>
        <translation>
            <numerusform>Moved %n entry to the trash.</numerusform>
            <numerusform>Moved %n entries to the trash.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>组 %1：选中了 %n 个项目</source>
        <translation>
            <numerusform>Group %1: checked %n entry</numerusform>
            <numerusform>Group %1: checked %n entries</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>组 %1：取消选中了 %n 个项目</source>
        <translation>
            <numerusform>Group %1: unchecked %n entry</numerusform>
            <numerusform>Group %1: unchecked %n entries</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>选中了 %n 个空目录</source>
        <translation>
            <numerusform>Checked %n empty folder</numerusform>
            <numerusform>Checked %n empty folders</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>已从回收站恢复 %n 个项目。</source>
        <translation>
            <numerusform>Restored %n entry from the trash.</numerusform>
            <numerusform>Restored %n entries from the trash.</numerusform>
        </translation>
    </message>
    <message>
        <source>查找：</source>
        <translation>Find:</translation>
    </message>
    <message>
        <source>查找</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>整理路径中的项目</source>
        <translation>Entries of the folder</translation>
    </message>
    <message>
        <source>按组选择</source>
        <translation>Select by Group</translation>
    </message>
    <message>
        <source>从不标记此标题</source>
        <translation>Never mark this title</translation>
    </message>
    <message>
        <source>总是标记此标题</source>
        <translation>Always mark this title</translation>
    </message>
    <message>
        <source>编辑白名单和黑名单…</source>
        <translation>Edit White and Black Lists…</translation>
    </message>
    <message>
        <source>在文件管理器中打开</source>
        <translation>Open in File Manager</translation>
    </message>
    <message>
        <source>复制名称</source>
        <translation>Copy Name</translation>
    </message>
    <message>
        <source>“%1”已加入白名单</source>
        <translation>“%1” added to the white list</translation>
    </message>
    <message>
        <source>“%1”已加入黑名单</source>
        <translation>“%1” added to the black list</translation>
    </message>
    <message>
        <source>白名单和黑名单</source>
        <translation>White and Black Lists</translation>
    </message>
    <message>
        <source>从不标记（白名单）：</source>
        <translation>Never mark (white list):</translation>
    </message>
    <message>
        <source>总是标记（黑名单）：</source>
        <translation>Always mark (black list):</translation>
    </message>
    <message>
        <source>无法打开“%1”</source>
        <translation>Could not open “%1”</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>Status</translation>
    </message>
    <message numerus="yes">
        <source>已重新读取文件夹，保留 %n 个手动标记</source>
        <translation>
            <numerusform>Folder read again; %n hand mark kept</numerusform>
            <numerusform>Folder read again; %n hand marks kept</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>另外 %n 个</source>
        <translation>
            <numerusform>%n more</numerusform>
            <numerusform>%n more</numerusform>
        </translation>
    </message>
    <message>
        <source>版本号有两种读法：%1</source>
        <translation>Versions read two ways: %1</translation>
    </message>
    <message>
        <source>已选中 %1 / %2</source>
        <translation>%1 of %2 checked</translation>
    </message>
    <message>
        <source>无法读取文件夹：%1</source>
        <translation>The folder could not be read: %1</translation>
    </message>
    <message>
        <source>此文件夹中没有可列出的项目。</source>
        <translation>This folder holds nothing to list.</translation>
    </message>
    <message>
        <source>点击“选择整理路径”选择要整理的文件夹，或把文件夹拖到这里。</source>
        <translation>Click “Folder…” to pick the folder to tidy, or drop a folder here.</translation>
    </message>
    <message>
        <source>正在移到回收站… %1 / %2</source>
        <translation>Moving to the trash… %1 / %2</translation>
    </message>
    <message>
        <source>正在从回收站取回… %1 / %2</source>
        <translation>Bringing back from the trash… %1 / %2</translation>
    </message>
    <message>
        <source>正在读取…</source>
        <translation>Reading…</translation>
    </message>
    <message>
        <source>正在读取… %1</source>
        <translation>Reading… %1</translation>
    </message>
</context>
</TS>
