#pragma once
// Shared pieces of the brush engine tests: the folder of the installed brush
// files, a recorded stroke, and layers to paint it on.
#include <cstdint>
#include <string>
#include <vector>

struct paint_surface;
struct dib_rect;
class mp_engine;

struct mp_event {
  float x, y, pressure;
  double dtime;
};

// The resolved "Gpenpat\mp" of the installation tree (env QM_TREE); empty
// when QM_TREE is not set.
std::string mp_tree_brush_folder();

// An S-shaped stroke across a width x height layer, 1 s at 100 Hz, pressure
// rising from 0.2 to 1 and falling to 0.4.
std::vector<mp_event> mp_test_stroke(int width, int height);

// A layer with three bands of full-coverage paint in its middle third, so that
// smudging brushes have something to move.
paint_surface* mp_banded_layer(int width, int height);

// Plays the stroke: begin at the first event, then set_paint and one step per
// event. Returns the number of steps that drew.
int mp_play(mp_engine& engine, paint_surface* layer, const std::vector<mp_event>& stroke,
            uint32_t colour, float opacity, float size, int oil, dib_rect* dirty);

// Pixels whose colour or coverage differ between two layers of one size.
long mp_count_changed(const paint_surface* a, const paint_surface* b);
