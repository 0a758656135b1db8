// Plays a match recorded as frame pictures (tryzone-sim --html): the pictures are lists of shapes, drawn here as the
// game's window draws them, in their order. The format of the pictures is described in src/picture/PictureStream.h.
"use strict";

const match = JSON.parse(document.getElementById("match").textContent);
const pitch = document.getElementById("pitch").getContext("2d");
const bar = document.getElementById("bar");
const status = document.getElementById("status");
const marksBox = document.getElementById("marks");
const speeds = [1, 2, 4, 8];
// Frames the game plays in a second of its window at x1.
const framesPerSecond = 60;

const page = { ready: false, frames: [], index: 0, frame: 0, playing: false, speed: 1, errors: [] };
window.tryzonePage = page;

async function Inflate(base64) {
  const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
  const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream("deflate"));
  return new Uint8Array(await new Response(stream).arrayBuffer());
}

// Unchanged shapes are shared with the frame before, so a long match costs only what moves.
function Decode(bytes) {
  let at = 0;
  const varint = () => {
    let value = 0;
    let scale = 1;
    for (;;) {
      const byte = bytes[at++];
      value += (byte & 0x7f) * scale;
      if (byte < 0x80) return value;
      scale *= 128;
    }
  };
  const zigzag = () => {
    const value = varint();
    return value % 2 === 0 ? value / 2 : -(value + 1) / 2;
  };
  const colour = () => {
    const c = bytes.subarray(at, at + 4);
    at += 4;
    return `rgba(${c[0]},${c[1]},${c[2]},${c[3] / 255})`;
  };
  const text = new TextDecoder();
  const blank = { kind: 0, points: 30, size: 20, color: "rgba(0,0,0,1)", outline: "rgba(255,255,255,1)",
                  alpha: 1, outlineAlpha: 1, n: [0, 0, 0, 0, 0], text: "" };
  let kept = [];
  let frame = 0;
  let tenths = 0;
  const frames = [];
  while (at < bytes.length) {
    frame += varint();
    tenths += zigzag();
    const count = varint();
    const marksFrom = varint();
    const shapes = [];
    for (let i = 0; i < count; ++i) {
      const mask = varint();
      let shape = kept[i] || blank;
      if (mask !== 0) {
        shape = { ...shape, n: shape.n.slice() };
        if (mask & 1) shape.kind = bytes[at++];
        if (mask & 2) shape.points = bytes[at++];
        if (mask & 4) shape.size = varint();
        if (mask & 8) { shape.alpha = bytes[at + 3]; shape.color = colour(); }
        if (mask & 16) { shape.outlineAlpha = bytes[at + 3]; shape.outline = colour(); }
        for (let f = 0; f < 5; ++f) if (mask & (32 << f)) shape.n[f] += zigzag();
        if (mask & 1024) {
          const length = varint();
          shape.text = text.decode(bytes.subarray(at, at + length));
          at += length;
        }
      }
      shapes.push(shape);
    }
    kept = shapes;
    frames.push({ frame, clock: tenths / 10, shapes, marksFrom });
  }
  return frames;
}

function Polygon(s, radius) {
  const r = s.n[2] / 8;
  const cx = s.n[0] / 8 + r;
  const cy = s.n[1] / 8 + r;
  pitch.beginPath();
  for (let i = 0; i < s.points; ++i) {
    const angle = (i * 2 * Math.PI) / s.points - Math.PI / 2;
    pitch.lineTo(cx + Math.cos(angle) * radius, cy + Math.sin(angle) * radius);
  }
  pitch.closePath();
}

function DrawShape(s) {
  const [x, y, x2, y2, thickness] = s.n.map((v) => v / 8);
  switch (s.kind) {
    case 0: // line, one pixel through the pixel centres
      pitch.strokeStyle = s.color;
      pitch.lineWidth = 1;
      pitch.beginPath();
      pitch.moveTo(x + 0.5, y + 0.5);
      pitch.lineTo(x2 + 0.5, y2 + 0.5);
      pitch.stroke();
      break;
    case 1: { // text: its position less the ratios of its size; the first baseline one size below
      pitch.font = `${s.size}px "Hack", "DejaVu Sans Mono", monospace`;
      pitch.fillStyle = s.color;
      const m = pitch.measureText(s.text);
      const width = m.actualBoundingBoxRight + m.actualBoundingBoxLeft;
      const height = m.actualBoundingBoxAscent + m.actualBoundingBoxDescent;
      pitch.fillText(s.text, x - width * x2, y - height * y2 + s.size);
      break;
    }
    case 2: // circle: the window's polygon, the outline outside its edge
      if (s.alpha > 0) {
        Polygon(s, x2);
        pitch.fillStyle = s.color;
        pitch.fill();
      }
      if (thickness > 0 && s.outlineAlpha > 0) {
        Polygon(s, x2 + thickness / 2);
        pitch.strokeStyle = s.outline;
        pitch.lineWidth = thickness;
        pitch.stroke();
      }
      break;
    case 3: // rectangle
      pitch.fillStyle = s.color;
      pitch.fillRect(x, y, x2, y2);
      break;
  }
}

function Clock(seconds) {
  const whole = Math.floor(seconds);
  return `${String(Math.floor(whole / 60)).padStart(2, "0")}:${String(whole % 60).padStart(2, "0")}`;
}

function Draw() {
  const shown = page.frames[page.index];
  pitch.fillStyle = match.clear;
  pitch.fillRect(0, 0, match.width, match.height);
  const end = marksBox.checked ? shown.shapes.length : shown.marksFrom;
  for (let i = 0; i < end; ++i) DrawShape(shown.shapes[i]);
  status.textContent = `${Clock(shown.clock)}  x${page.speed}${page.playing ? "" : "  paused"}`;
  DrawBar();
}

const eventColours = { try: "#ffd400", tackle: "#e03020", pass: "#4060ff" };

function DrawBar() {
  const c = bar.getContext("2d");
  const first = page.frames[0].frame;
  const last = page.frames[page.frames.length - 1].frame;
  const at = (frame) => ((frame - first) / Math.max(1, last - first)) * bar.width;
  c.fillStyle = "#222";
  c.fillRect(0, 0, bar.width, bar.height);
  for (const event of match.events) {
    c.fillStyle = eventColours[event.kind];
    const tall = event.kind === "try" ? bar.height : bar.height / 2;
    c.fillRect(Math.round(at(event.frame)), bar.height - tall, event.kind === "try" ? 3 : 1, tall);
  }
  c.fillStyle = "#fff";
  c.fillRect(Math.round(at(page.frames[page.index].frame)) - 1, 0, 2, bar.height);
}

// The last picture at or before the frame.
function Show(frame) {
  const frames = page.frames;
  frame = Math.max(frames[0].frame, Math.min(frames[frames.length - 1].frame, frame));
  let low = 0;
  let high = frames.length - 1;
  while (low < high) {
    const middle = (low + high + 1) >> 1;
    if (frames[middle].frame <= frame) low = middle;
    else high = middle - 1;
  }
  page.index = low;
  page.frame = frame;
  Draw();
}

let lastTime = null;
function Tick(time) {
  if (page.playing && lastTime !== null) {
    const frames = page.frames;
    const next = page.frame + ((time - lastTime) / 1000) * framesPerSecond * page.speed;
    if (next >= frames[frames.length - 1].frame) page.playing = false;
    Show(next);
  }
  lastTime = time;
  requestAnimationFrame(Tick);
}

document.addEventListener("keydown", (event) => {
  if (!page.ready) return;
  const speed = speeds["1234".indexOf(event.key)];
  if (event.key === " ") page.playing = !page.playing;
  else if (speed) page.speed = speed;
  else if (event.key === "ArrowLeft") Show(page.frame - match.jumpFrames);
  else if (event.key === "ArrowRight") Show(page.frame + match.jumpFrames);
  else if (event.key === "Home") Show(page.frames[0].frame);
  else if (event.key === "d" || event.key === "D") marksBox.checked = !marksBox.checked;
  else return;
  event.preventDefault();
  Draw();
});

bar.addEventListener("click", (event) => {
  if (!page.ready) return;
  const box = bar.getBoundingClientRect();
  const first = page.frames[0].frame;
  const last = page.frames[page.frames.length - 1].frame;
  Show(first + ((event.clientX - box.left) / box.width) * (last - first));
});
marksBox.addEventListener("change", () => page.ready && Draw());

// The texts of the picture shown, for whoever reads the page (its tests).
page.texts = () => page.frames[page.index].shapes.filter((s) => s.kind === 1).map((s) => s.text);

Inflate(match.pictures)
  .then((bytes) => {
    page.frames = Decode(bytes);
    page.frame = page.frames[0].frame;
    page.ready = true;
    Draw();
    requestAnimationFrame(Tick);
  })
  .catch((error) => {
    page.errors.push(String(error));
    status.textContent = `This match cannot be shown: ${error}`;
  });
