// The floor under the program page's CPU: what any page costs the engine that shows, frame by
// frame, what a demonstration shows, with none of the program's work. Each frame moves the bodies
// (composited, by a transform), sets the read-out, and for the circle copies the gauge's 200 x 20
// pixels into an 800 x 500 canvas; then it waits as the program's page does (a hop through a
// MessageChannel, then a timer to the deadline). ?shape=circle: one body, a frame every 50 ms, the
// read-out unchanged; ?shape=inner: three bodies, a frame every 3 ms, the read-out changing every
// fifth frame. window.floorFrames counts the frames.
"use strict";

const shape = new URLSearchParams(location.search).get("shape") === "inner"
    ? {bodies: 3, delay: 3, drawn: false, every: 5}
    : {bodies: 1, delay: 50, drawn: true, every: Infinity};

const drawing = document.getElementById("drawing");
const context = document.getElementById("canvas").getContext("2d", {willReadFrequently: true});
const label = document.getElementById("label");
const gauge = new ImageData(200, 20);
const bodies = [];
for (let i = 0; i < shape.bodies; ++i) {
  const body = drawing.appendChild(document.createElement("div"));
  body.className = "body";
  const picture = body.appendChild(document.createElement("canvas"));
  picture.width = picture.height = 24;
  const pen = picture.getContext("2d", {willReadFrequently: true});
  pen.fillStyle = "#ffff00";
  pen.fillRect(4, 4, 16, 16);
  bodies.push(body);
}

const channel = new MessageChannel();
channel.port1.onmessage = () => setTimeout(frame, shape.delay);
window.floorFrames = 0;

function frame() {
  const n = ++window.floorFrames;
  bodies.forEach((body, i) => {
    const angle = n / 60 + 2 * i;
    body.style.transform =
        `translate(${390 + 200 * Math.cos(angle)}px,${240 + 200 * Math.sin(angle)}px)`;
  });
  const text = `${Math.floor(n / shape.every) % 1000}\u3000日経過`;
  if (label.textContent !== text) label.textContent = text;
  if (shape.drawn) {
    gauge.data.fill(n % 2 ? 255 : 128);
    context.putImageData(gauge, 580, 30);
  }
  channel.port2.postMessage(0);
}

frame();
