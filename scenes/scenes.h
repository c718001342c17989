// The five timed scenes and the extra scene unit: init once during content
// setup, draw once per frame of their window, free once at shutdown. Main
// thread, context current.
#pragma once

void InitScene1();
void DrawScene1();
void FreeScene1();
void InitScene2();
void DrawScene2();
void FreeScene2();
void InitScene3();
void DrawScene3();
void FreeScene3();
void InitScene4();
void DrawScene4();
void FreeScene4();
void InitScene5();
void DrawScene5();
void FreeScene5();
void InitExtraScene();
void FreeExtraScene();
