#pragma once

// Plays the built-in jingle (resource :/SOUND/101) in the background and returns at once.
// Calling it again while the jingle runs starts it over from the beginning. Without a
// QCoreApplication, the resource, an audio backend or an output device nothing happens: no
// message, no error, no wait.
void PlayEggSound();
