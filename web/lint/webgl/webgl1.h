// A stand-in for Emscripten's <webgl/webgl1.h>, for the static checks only
// (see emscripten/emscripten.h): the WebGL calls under their own names,
// which the page's C++ calls where it replaces the GL function of that name
// or where the page's GL has none (the replay's framebuffers).
#pragma once

#include <GL/gl.h>

extern "C" {
void emscripten_glClear(GLbitfield mask);
void emscripten_glGenFramebuffers(GLsizei n, GLuint* framebuffers);
void emscripten_glGenRenderbuffers(GLsizei n, GLuint* renderbuffers);
void emscripten_glBindFramebuffer(GLenum target, GLuint framebuffer);
void emscripten_glBindRenderbuffer(GLenum target, GLuint renderbuffer);
void emscripten_glFramebufferTexture2D(GLenum target, GLenum attachment, GLenum textarget, GLuint texture, GLint level);
void emscripten_glRenderbufferStorage(GLenum target, GLenum internalformat, GLsizei width, GLsizei height);
void emscripten_glFramebufferRenderbuffer(GLenum target, GLenum attachment, GLenum renderbuffertarget,
                                          GLuint renderbuffer);
}
