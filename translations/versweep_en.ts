<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>versweep::QuarryManagerFm</name>
    <message>
        <source>删除确认</source>
        <translation>Confirm deletion</translation>
    </message>
    <message numerus="yes">
        <source>您是否确认删除选中的项目(%n个项目)！</source>
        <translation>
            <numerusform>Delete the checked entry (%n entry)?</numerusform>
            <numerusform>Delete the checked entries (%n entries)?</numerusform>
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
        <translation>Pick folder</translation>
    </message>
    <message>
        <source>删除选中项目</source>
        <translation>Delete</translation>
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
        <translation>Undo last delete</translation>
    </message>
    <message>
        <source>保留最新版本数…</source>
        <translation>Versions to keep…</translation>
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
        <translation>The entries went to the trash, but “Undo last delete” cannot bring them back.</translation>
    </message>
    <message>
        <source>撤销记录：%1</source>
        <translation>Undo record: %1</translation>
    </message>
</context>
</TS>
