# The page's C++ and the JavaScript merged into Emscripten's runtime, by
# layer, relative to web/: the page's build (web/CMakeLists.txt) and the
# static checks of its C++ (walker_web_check, CMakeLists.txt) read them here.
# - glut/: what the browser's GL and GLUT lack, under the program's own
#   src/: the fixed function and the shapes, with trace hooks for whatever
#   watches them; in JavaScript the redisplay, the idle loop, the key
#   bridge, the window's size and the word to the page;
# - exports/: what the program exports to the page's scripts;
# - inspector/: the frame inspector, over glut/'s hooks: its recorder, the
#   shapes' place on the canvas, the replay, its exports and its page modules.
# The page itself, with its scripts and the app's files, is in page/.
set(WEB_GLUT_SOURCES glut/fixed_function.cpp glut/glut_shapes.cpp glut/swap_buffers.cpp)
set(WEB_EXPORT_SOURCES exports/scene_readout.cpp exports/resize.cpp)
set(WEB_JS_LIBRARIES glut/tell_page.js glut/redisplay.js glut/idle_loop.js glut/key_bridge.js glut/window_size.js)
# Run only while the page's frame inspector is open, off the walker's own
# frames: built for size, as they cost every visit bytes.
set(WEB_INSPECTOR_SOURCES inspector/frame_recorder.cpp inspector/shape_on_canvas.cpp inspector/replay.cpp
  inspector/packed_record.cpp inspector/covering.cpp inspector/exports.cpp)
set(WEB_INSPECTOR_JS_LIBRARIES inspector/frame_recorded.js)
